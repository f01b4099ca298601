#include "core/browser/restorequeue.h"

#include <exception>
#include <new>
#include <utility>

namespace vistrel::core {

RestoreQueue::RestoreQueue(Decode decode, Deliver deliver)
    : m_decode(std::move(decode)), m_deliver(std::move(deliver)),
      m_worker([this] { Work(); }) {}

RestoreQueue::~RestoreQueue() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_worker.join();
}

std::vector<int> RestoreQueue::Request(std::uint64_t generation, int first, int last,
                                       std::vector<Job> jobs) {
    std::vector<int> dropped;
    {
        std::lock_guard lock(m_mutex);
        std::deque<Job> kept;
        for (Job& job : m_waiting) {
            if (job.generation == generation && job.index >= first && job.index < last)
                kept.push_back(std::move(job));
            else if (job.generation == generation)
                dropped.push_back(job.index);
        }
        for (Job& job : jobs) kept.push_back(std::move(job));
        m_waiting = std::move(kept);
    }
    m_changed.notify_all();
    return dropped;
}

void RestoreQueue::Work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_waiting.empty(); });
        if (m_stop) return;
        Job job = std::move(m_waiting.front());
        m_waiting.pop_front();
        lock.unlock();
        LoadResult result;
        try {
            result = m_decode(job);
        } catch (const std::bad_alloc&) {
            result.error = LoadError::OutOfMemory;
        } catch (const std::exception&) {
            result.error = LoadError::Unreadable;
        }
        try {
            m_deliver(job, std::move(result));
        } catch (...) { // the cell stays as it is; the next visit of the folder fills it
        }
        lock.lock();
    }
}

} // namespace vistrel::core
