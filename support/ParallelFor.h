#pragma once

#include <cstddef>
#include <functional>

namespace zep {

// Runs work(i) for every i in [0, count) on up to one thread per core (never more threads than
// items), and returns when all have run. Items are handed out one at a time, so a large item
// does not hold up the rest. work must not throw and must not touch what another item touches;
// anything that has to happen in order (messages, rows of the list) is done by the caller
// afterwards, from the results the items left behind.
void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& work);

// The number of threads ParallelFor uses for count items.
std::size_t WorkerCount(std::size_t count);

}  // namespace zep
