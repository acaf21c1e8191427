// A small pool of std::threads for the coverage run.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace verdan::coverage::detail {

/// The number of worker threads for a request: `requested`, or every core when 0; at least 1
/// and at most `items`.
unsigned workerCount(unsigned requested, std::size_t items);

/// Calls work(index) once for every index in 0..count-1 on `threads` threads (the calling
/// thread waits). Indices are handed out in ascending order, one at a time; once stop()
/// returns true no further index is handed out. The first exception a call throws stops the
/// loop and is rethrown here after every thread has ended.
void parallelFor(std::size_t count, unsigned threads, const std::function<bool()>& stop,
                 const std::function<void(std::size_t)>& work);

} // namespace verdan::coverage::detail
