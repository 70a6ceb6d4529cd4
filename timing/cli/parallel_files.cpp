#include "timing/cli/parallel_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace umbrix {

void ForEachFile(std::size_t count, const std::function<void(std::size_t)>& work,
                 std::ostream& progress, const char* what) {
    if (count == 1) {
        work(0);
        return;
    }
    std::atomic<std::size_t> next{0};
    std::size_t done = 0;  // guarded by lock
    std::mutex lock;
    std::condition_variable finished;
    const auto worker = [&] {
        for (std::size_t i; (i = next++) < count;) {
            work(i);
            const std::lock_guard<std::mutex> guard(lock);
            ++done;
            finished.notify_one();
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < std::min<std::size_t>(cores, count); ++w) workers.emplace_back(worker);
    const auto start = std::chrono::steady_clock::now();
    bool shown = false;
    {
        std::unique_lock<std::mutex> guard(lock);
        for (std::size_t seen = 0; done < count;) {
            finished.wait_for(guard, std::chrono::milliseconds(200), [&] { return done != seen; });
            if (done != seen && std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) {
                progress << "\rectimer: " << done << " of " << count << " " << what << std::flush;
                shown = true;
            }
            seen = done;
        }
    }
    for (std::thread& w : workers) w.join();
    if (shown) progress << "\n";
}

}  // namespace umbrix
