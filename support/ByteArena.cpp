#include "support/ByteArena.h"

#include <sys/mman.h>

namespace zep {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;
constexpr std::size_t kLargest = kBlock / 16;  // a larger buffer gets room of its own
constexpr std::size_t kAlign = 64;

}  // namespace

std::shared_ptr<char[]> ByteArena::Take(std::size_t size) {
    if (size > kLargest) {
        return std::make_shared_for_overwrite<char[]>(size);
    }
    size = (size + kAlign - 1) & ~(kAlign - 1);
    const std::lock_guard lock(mutex_);
    if (size_ - used_ < size) {
        void* block = ::mmap(nullptr, kBlock, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (block == MAP_FAILED) {
            return std::make_shared_for_overwrite<char[]>(size);
        }
        block_.reset(static_cast<char*>(block), [](char* at) { ::munmap(at, kBlock); });
        used_ = 0;
        size_ = kBlock;
    }
    std::shared_ptr<char[]> room(block_, block_.get() + used_);
    used_ += size;
    return room;
}

}  // namespace zep
