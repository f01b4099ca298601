#include "core/browser/decodequeue.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace vistrel::core {

namespace {

// Nothing may escape a worker; whatever the decoder lets through is one more failed file.
LoadResult DecodeSafely(const DecodeQueue::Decode& decode, int index) {
    try {
        return decode(index);
    } catch (...) {
        LoadResult failed;
        failed.error = LoadError::Unreadable;
        return failed;
    }
}

} // namespace

DecodeQueue::DecodeQueue(int threads, int window, std::function<void()> wake)
    : m_window(std::max(window, 1)), m_wake(std::move(wake)) {
    // Reserved first: a failed reallocation after a thread started would leave it unjoined.
    m_workers.reserve(static_cast<std::size_t>(std::max(threads, 0)));
    for (int t = 0; t < threads; ++t) {
        try {
            m_workers.emplace_back([this] { Work(); });
        } catch (...) {
            break; // fewer threads, or none, and TakeReady() decodes itself
        }
    }
}

DecodeQueue::~DecodeQueue() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_canStart.notify_all();
    for (auto& worker : m_workers) {
        try {
            worker.join();
        } catch (const std::system_error&) {
        }
    }
}

void DecodeQueue::Start(int count, Decode decode) {
    {
        std::lock_guard lock(m_mutex);
        ++m_job;
        m_count = std::max(count, 0);
        m_decode = std::make_shared<const Decode>(std::move(decode));
        m_next = m_preferFirst = m_preferLast = 0;
        m_started.assign(static_cast<std::size_t>(m_count), false);
        m_ready.clear();
    }
    m_canStart.notify_all();
}

void DecodeQueue::Cancel() { Start(0, {}); }

void DecodeQueue::Prefer(int first, int last) {
    std::lock_guard lock(m_mutex);
    m_preferFirst = std::clamp(first, 0, m_count);
    m_preferLast = std::clamp(last, m_preferFirst, m_count);
}

int DecodeQueue::NextIndex() {
    for (; m_preferFirst < m_preferLast; ++m_preferFirst) {
        if (!m_started[static_cast<std::size_t>(m_preferFirst)]) {
            m_started[static_cast<std::size_t>(m_preferFirst)] = true;
            return m_preferFirst++;
        }
    }
    while (m_next < m_count && m_started[static_cast<std::size_t>(m_next)]) ++m_next;
    if (m_next >= m_count) return -1;
    m_started[static_cast<std::size_t>(m_next)] = true;
    return m_next++;
}

std::vector<DecodeQueue::Done> DecodeQueue::TakeReady() {
    std::vector<Done> taken;
    std::unique_lock lock(m_mutex);
    if (m_workers.empty()) {
        const int index = NextIndex();
        if (index < 0) return taken;
        const auto decode = m_decode;
        lock.unlock();
        taken.push_back({index, DecodeSafely(*decode, index)});
        return taken;
    }
    taken.assign(std::make_move_iterator(m_ready.begin()), std::make_move_iterator(m_ready.end()));
    m_ready.clear();
    lock.unlock();
    if (!taken.empty()) m_canStart.notify_all();
    return taken;
}

void DecodeQueue::Work() {
    for (;;) {
        int index = -1;
        std::uint64_t job = 0;
        std::shared_ptr<const Decode> decode;
        {
            std::unique_lock lock(m_mutex);
            m_canStart.wait(lock, [&] {
                if (m_stop) return true;
                if (static_cast<int>(m_ready.size()) >= m_window) return false;
                index = NextIndex();
                return index >= 0;
            });
            if (m_stop) return;
            job = m_job;
            decode = m_decode;
        }
        LoadResult result = DecodeSafely(*decode, index);
        {
            std::lock_guard lock(m_mutex);
            if (job != m_job) continue; // dropped while it ran
            m_ready.push_back({index, std::move(result)});
        }
        if (m_wake) m_wake();
    }
}

} // namespace vistrel::core
