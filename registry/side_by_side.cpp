#include "registry/side_by_side.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "registry/registry_store.h"

namespace registry {
namespace {

// Beyond this the round trips no longer overlap more; it also bounds the threads on a machine
// with many cores.
constexpr unsigned kMaxThreads = 8;

}  // namespace

bool ReadsRunSideBySide() {
    return !kRegistryIsFile;
}

void ReadSideBySide(const std::vector<std::function<void()>>& reads) {
    std::vector<std::exception_ptr> failures(reads.size());
    auto run = [&](std::size_t i) {
        try {
            reads[i]();
        } catch (...) {
            failures[i] = std::current_exception();
        }
    };
    if (!ReadsRunSideBySide() || reads.size() < 2) {
        for (std::size_t i = 0; i < reads.size(); ++i) {
            run(i);
        }
    } else {
        // Each thread takes the next read not yet taken, so a long read does not hold up the
        // short ones queued behind it.
        std::atomic<std::size_t> next{0};
        const std::size_t count = std::min<std::size_t>(reads.size(), kMaxThreads);
        std::vector<std::thread> threads;
        threads.reserve(count);
        for (std::size_t t = 0; t < count; ++t) {
            threads.emplace_back([&] {
                for (std::size_t i = next++; i < reads.size(); i = next++) {
                    run(i);
                }
            });
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

}  // namespace registry
