#include "core/browser/ordereddecoder.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace vistrel::core {

OrderedDecoder::OrderedDecoder(int count, int threads, int window, Decode decode)
    : m_count(count), m_window(std::max(window, 1)), m_decode(std::move(decode)),
      m_slots(static_cast<std::size_t>(m_window)) {
    // Reserved first: a failed reallocation after a thread started would leave it unjoined.
    m_workers.reserve(static_cast<std::size_t>(std::max(threads, 0)));
    for (int t = 0; t < threads; ++t) {
        try {
            m_workers.emplace_back([this] { Work(); });
        } catch (...) {
            // No thread or no memory for one: fewer threads, or none, and take() decodes on
            // the caller's thread. Letting it escape would leave the started ones unjoined.
            break;
        }
    }
}

OrderedDecoder::~OrderedDecoder() {
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

LoadResult OrderedDecoder::take(int index) {
    if (m_workers.empty()) return DecodeSafely(index);
    std::unique_lock lock(m_mutex);
    auto& slot = m_slots[Slot(index)];
    m_ready.wait(lock, [&] { return slot.has_value(); });
    LoadResult result = std::move(*slot);
    slot.reset();
    m_taken = index + 1;
    lock.unlock();
    m_canStart.notify_all();
    return result;
}

void OrderedDecoder::Work() {
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_canStart.wait(lock, [&] {
                return m_stop || m_next >= m_count || m_next < m_taken + m_window;
            });
            if (m_stop || m_next >= m_count) return;
            index = m_next++;
        }
        LoadResult result = DecodeSafely(index);
        {
            std::lock_guard lock(m_mutex);
            // Free: the index window ago was taken before this index could start.
            m_slots[Slot(index)] = std::move(result);
        }
        m_ready.notify_all();
    }
}

// Nothing may escape a worker; whatever the decoder lets through is one more failed file.
LoadResult OrderedDecoder::DecodeSafely(int index) const {
    try {
        return m_decode(index);
    } catch (...) {
        LoadResult failed;
        failed.error = LoadError::Unreadable;
        return failed;
    }
}

} // namespace vistrel::core
