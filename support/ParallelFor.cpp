#include "support/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace zep {

void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    const auto drain = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            work(i);
        }
    };
    std::vector<std::jthread> helpers;
    const std::size_t threads = std::min<std::size_t>(std::thread::hardware_concurrency(), count);
    try {
        for (std::size_t t = 1; t < threads; ++t) {
            helpers.emplace_back(drain);
        }
    } catch (const std::system_error&) {  // no thread to spare: this one does the rest
    }
    drain();
}

}  // namespace zep
