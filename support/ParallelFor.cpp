#include "support/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace zep {

std::size_t WorkerCount(std::size_t count) {
    const std::size_t cores = std::max(1U, std::thread::hardware_concurrency());
    return std::min(cores, count);
}

void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& work) {
    const std::size_t workers = WorkerCount(count);
    if (workers <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
        }
        return;
    }
    std::atomic<std::size_t> next{0};
    auto drain = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            work(i);
        }
    };
    std::vector<std::jthread> helpers;
    helpers.reserve(workers - 1);
    for (std::size_t t = 1; t < workers; ++t) {
        helpers.emplace_back(drain);
    }
    drain();  // the calling thread takes its share too
}

}  // namespace zep
