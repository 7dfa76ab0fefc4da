#include "report/ordered_work.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace crackdepth::report {

unsigned threadsFor(std::size_t count, unsigned wanted) {
    const unsigned machine = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads = wanted == 0 ? machine : wanted;
    return static_cast<unsigned>(std::max<std::size_t>(1, std::min(threads, count)));
}

bool makeInOrder(std::size_t count, unsigned threads,
                 const std::function<std::string(std::size_t)>& make,
                 const std::function<bool(std::size_t, std::string&&)>& take) {
    if (threads <= 1) {
        for (std::size_t k = 0; k < count; ++k) {
            if (!take(k, make(k))) {
                return false;
            }
        }
        return true;
    }
    std::mutex mutex;
    std::condition_variable made;
    std::vector<std::optional<std::string>> pieces(count);
    std::exception_ptr failure;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    const auto work = [&] {
        for (std::size_t k = next++; k < count && !stop; k = next++) {
            std::string piece;
            try {
                piece = make(k);
            } catch (...) {
                const std::lock_guard lock(mutex);
                if (!failure) {
                    failure = std::current_exception();
                }
                stop = true;
                made.notify_all();
                return;
            }
            const std::lock_guard lock(mutex);
            pieces[k] = std::move(piece);
            made.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back(work);
    }
    bool whole = true;
    for (std::size_t k = 0; k < count; ++k) {
        std::string piece;
        {
            std::unique_lock lock(mutex);
            made.wait(lock, [&] { return pieces[k].has_value() || failure; });
            if (failure) {
                whole = false;
                break;
            }
            piece = std::move(*pieces[k]);
            pieces[k].reset();
        }
        if (!take(k, std::move(piece))) {
            whole = false;
            break;
        }
    }
    stop = true;
    for (std::thread& worker : workers) {
        worker.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return whole;
}

} // namespace crackdepth::report
