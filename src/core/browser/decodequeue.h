#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/platform/pictureloader.h"

namespace vistrel::core {

// Decodes the files of one job at a time on worker threads that outlive the jobs. Files start
// in order, except that those asked for with Prefer() go first; results are handed out as
// they finish. Start() and Cancel() drop the job at once: a decode already running cannot be
// stopped, so it finishes on its worker and its result is thrown away.
class DecodeQueue {
public:
    using Decode = std::function<LoadResult(int)>;
    struct Done {
        int index = 0;
        LoadResult result;
    };

    // Finished results not yet taken are held to `window`, so memory stays flat however long
    // the list. wake runs on a worker after each result, to rouse the taking thread. With no
    // thread (threads 0, or none could be started) TakeReady() decodes on the caller's thread.
    DecodeQueue(int threads, int window, std::function<void()> wake = {});
    ~DecodeQueue();

    DecodeQueue(const DecodeQueue&) = delete;
    DecodeQueue& operator=(const DecodeQueue&) = delete;

    // Files 0..count-1; decode runs on the workers, several at once. An exception it throws
    // comes out as an Unreadable result without a description.
    void Start(int count, Decode decode);
    void Cancel();
    // Files first..last-1, where not started yet, go before the rest.
    void Prefer(int first, int last);
    // Whatever finished since the last call, in the order it finished.
    std::vector<Done> TakeReady();
    int threads() const { return static_cast<int>(m_workers.size()); }

private:
    int NextIndex(); // under the lock; -1 when every file has started
    void Work();

    const int m_window;
    const std::function<void()> m_wake;
    mutable std::mutex m_mutex;
    std::condition_variable m_canStart;
    std::uint64_t m_job = 0;
    std::shared_ptr<const Decode> m_decode;
    int m_count = 0;
    int m_next = 0;      // no file below it is left unstarted
    int m_preferFirst = 0;
    int m_preferLast = 0;
    std::vector<bool> m_started;
    std::deque<Done> m_ready;
    bool m_stop = false;
    std::vector<std::thread> m_workers;
};

} // namespace vistrel::core
