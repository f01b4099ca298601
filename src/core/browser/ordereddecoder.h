#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/platform/pictureloader.h"

namespace vistrel::core {

// Decodes files 0..count-1 on worker threads and hands the results out strictly in index
// order. Workers run at most `window` files ahead of the last result taken, so memory stays
// flat however long the list. The destructor stops and joins every worker.
class OrderedDecoder {
public:
    using Decode = std::function<LoadResult(int)>;

    // decode runs on the workers, several at once. With no thread (threads 0, or none could
    // be started) take() decodes on the caller's thread.
    OrderedDecoder(int count, int threads, int window, Decode decode);
    ~OrderedDecoder();

    OrderedDecoder(const OrderedDecoder&) = delete;
    OrderedDecoder& operator=(const OrderedDecoder&) = delete;

    // The result for index; must be called for 0, 1, 2, ... in turn. An exception thrown by
    // decode comes out as an Unreadable result without a description.
    LoadResult take(int index);

private:
    std::size_t Slot(int index) const { return static_cast<std::size_t>(index % m_window); }
    void Work();
    LoadResult DecodeSafely(int index) const;

    const int m_count;
    const int m_window;
    const Decode m_decode;
    std::mutex m_mutex;
    std::condition_variable m_canStart;
    std::condition_variable m_ready;
    std::vector<std::optional<LoadResult>> m_slots;
    int m_next = 0;
    int m_taken = 0;
    bool m_stop = false;
    std::vector<std::thread> m_workers;
};

} // namespace vistrel::core
