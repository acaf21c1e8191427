#include "ParallelFor.h"

#include <algorithm>
#include <system_error>

namespace verdan::coverage::detail {

unsigned workerCount(unsigned requested, std::size_t items) {
    unsigned threads = requested != 0 ? requested : std::thread::hardware_concurrency();
    threads = std::max(threads, 1U);
    if (items < threads)
        threads = static_cast<unsigned>(std::max<std::size_t>(items, 1));
    return threads;
}

void parallelFor(std::size_t count, unsigned threads, const std::function<bool()>& stop,
                 const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr firstError;
    std::mutex errorMutex;
    const auto loop = [&] {
        for (;;) {
            if (failed.load() || stop())
                return;
            const std::size_t index = next.fetch_add(1);
            if (index >= count)
                return;
            try {
                work(index);
            } catch (...) {
                const std::lock_guard lock(errorMutex);
                if (!firstError)
                    firstError = std::current_exception();
                failed = true;
                return;
            }
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            pool.emplace_back(loop);
        } catch (const std::system_error&) {
            break; // fewer threads than asked: the others share the work
        }
    }
    loop();
    for (std::thread& thread : pool)
        thread.join();
    if (firstError)
        std::rethrow_exception(firstError);
}

} // namespace verdan::coverage::detail
