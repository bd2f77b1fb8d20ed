#pragma once

#include <cstddef>
#include <functional>

namespace zep {

// Runs work(i) for every i below count on up to one thread per core, handing out one item at a
// time, and returns when all have run. work must not throw nor touch what another item touches;
// whatever must happen in order (messages, list rows) the caller does afterwards.
void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& work);

}  // namespace zep
