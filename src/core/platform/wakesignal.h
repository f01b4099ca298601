#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vistrel::core {

// What a pump without a window system waits on: a wake from any thread ends the wait, and
// one that comes before the wait is kept for it.
class WakeSignal {
public:
    void Wait(int maxMilliseconds) {
        std::unique_lock lock(m_mutex);
        m_woken.wait_for(lock, std::chrono::milliseconds(maxMilliseconds), [this] { return m_set; });
        m_set = false;
    }
    void Wake() {
        {
            std::lock_guard lock(m_mutex);
            m_set = true;
        }
        m_woken.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_set = false;
};

} // namespace vistrel::core
