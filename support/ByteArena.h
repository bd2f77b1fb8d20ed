#pragma once

#include <cstddef>
#include <memory>
#include <mutex>

namespace zep {

// Room for many small buffers, cut from blocks whose pages are mapped in one call: reading a
// thousand small files then takes a few dozen calls instead of a page fault every 4 KB. A block
// lives while any buffer cut from it does. Safe to use from several threads.
class ByteArena {
public:
    std::shared_ptr<char[]> Take(std::size_t size);

private:
    std::mutex mutex_;
    std::shared_ptr<char[]> block_;
    std::size_t used_ = 0;
    std::size_t size_ = 0;
};

}  // namespace zep
