#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/pictureloader.h"

namespace vistrel::core {

// Brings back, on a thread of its own, thumbnails that were let go: a page of them costs the
// window nothing while it scrolls. Only what is still in view is decoded; a request that
// scrolled out before its turn is dropped.
class RestoreQueue {
public:
    struct Job {
        std::uint64_t generation = 0; // the sheet's, when asked
        int index = 0;
        std::string path;
        int maxWidth = 0, maxHeight = 0; // pixels
    };
    using Decode = std::function<LoadResult(const Job&)>;
    // Runs on the worker with each finished job.
    using Deliver = std::function<void(const Job&, LoadResult)>;

    RestoreQueue(Decode decode, Deliver deliver);
    ~RestoreQueue(); // waits for the job being decoded
    RestoreQueue(const RestoreQueue&) = delete;
    RestoreQueue& operator=(const RestoreQueue&) = delete;

    // Drops the waiting jobs of other generations or outside cells first..last-1, returning
    // the cells of those of this generation, then adds jobs.
    std::vector<int> Request(std::uint64_t generation, int first, int last, std::vector<Job> jobs);

private:
    void Work();

    const Decode m_decode;
    const Deliver m_deliver;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_waiting;
    bool m_stop = false;
    std::thread m_worker;
};

} // namespace vistrel::core
