#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "core/browser/ordereddecoder.h"

using namespace vistrel::core;

// File order and look-ahead under real decoders are the builder's tests; these cover what a
// build with working threads and well-behaved loaders never reaches.
TEST(OrderedDecoder, HandsOutEveryResultInOrderWhateverTheThreadsAndWindow) {
    struct Case {
        int threads, window;
    };
    for (const Case c : {Case{0, 3}, Case{1, 0}, Case{4, 2}, Case{4, 100}}) {
        SCOPED_TRACE(::testing::Message() << c.threads << " threads, window " << c.window);
        const auto caller = std::this_thread::get_id();
        std::atomic<int> decoded{0}, onCaller{0};
        {
            OrderedDecoder decoder(9, c.threads, c.window, [&](int i) {
                ++decoded;
                onCaller += std::this_thread::get_id() == caller;
                if (i == 4) throw 4; // not even a std::exception
                LoadResult result;
                result.naturalWidth = i;
                return result;
            });
            for (int i = 0; i < 9; ++i) {
                const LoadResult result = decoder.take(i);
                EXPECT_EQ(result.ok(), i != 4) << i;
                if (i == 4) {
                    EXPECT_EQ(result.error, LoadError::Unreadable);
                    EXPECT_EQ(result.errorText, "");
                } else {
                    EXPECT_EQ(result.naturalWidth, i);
                }
            }
        }
        EXPECT_EQ(decoded, 9);
        EXPECT_EQ(onCaller, c.threads == 0 ? 9 : 0);
    }
}
