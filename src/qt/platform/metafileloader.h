#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/pictureloader.h"
#include "core/viewer/metafileheader.h"

namespace vistrel::qt {

// Sanitizer builds run the helper many times slower (its libraries' allocations go through the
// sanitizer): a WMF that converts in 0.3 s took 17 s of CPU under AddressSanitizer, so they
// wait thirty times longer before taking a drawing as hung.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int MetafileSlowdown = 30;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr int MetafileSlowdown = 30;
#else
inline constexpr int MetafileSlowdown = 1;
#endif
#else
inline constexpr int MetafileSlowdown = 1;
#endif

// Draws WMF and EMF files through the helper program vistrel-metafile, so that a file which
// makes a library loop, crash or run out of memory costs that process and not the viewer:
// a helper that takes longer than the time limit is killed and the file counts as damaged.
// Helpers are kept between files (their start-up costs more than most drawings) and replaced
// after any failure. Safe to call from several threads at once; each call has a helper of
// its own.
class MetafileLoader {
public:
    struct Options {
        std::string helperPath; // empty: DefaultHelperPath()
        int timeLimitMs = core::MetafileTimeLimitMs * MetafileSlowdown;
        int filesPerHelper = 64; // then a fresh process, so that leaks cannot pile up
    };

    MetafileLoader();
    explicit MetafileLoader(Options options);
    ~MetafileLoader(); // ends the idle helpers
    MetafileLoader(const MetafileLoader&) = delete;
    MetafileLoader& operator=(const MetafileLoader&) = delete;

    // Beside the executable (the build folder, or an installation that keeps both in one
    // folder), else in ../libexec/vistrel/ from it, else where this build put it.
    static std::string DefaultHelperPath();

    // The picture at its natural size, or fitted into the box (never enlarged).
    core::LoadResult load(const std::string& path, std::optional<core::PixelSize> box) const;

private:
    struct Helper {
        int pid = -1;
        int fd = -1;
        int files = 0;
    };
    enum class Outcome { Done, Retry };

    std::optional<Helper> start() const;
    static void end(Helper& helper);
    Outcome draw(Helper& helper, const std::string& path, std::optional<core::PixelSize> box,
                 core::LoadResult& result) const;

    Options m_options;
    mutable std::mutex m_mutex;
    mutable std::vector<Helper> m_idle;
};

} // namespace vistrel::qt
