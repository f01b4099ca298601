#pragma once

#include <cstdint>

// How the viewer and vistrel-metafile talk over the helper's stdin and stdout. Both ends are
// built together and run on the same machine, so the structs travel in native byte order.
// One request gets one reply; the helper serves requests until its input closes.

namespace vistrel::metafile {

inline constexpr std::uint32_t RequestMagic = 0x51464D56; // "VMFQ"
inline constexpr std::uint32_t ReplyMagic = 0x41464D56;   // "VMFA"
inline constexpr std::uint32_t MaxPathBytes = 64 * 1024;

struct Request {
    std::uint32_t magic = RequestMagic;
    std::int32_t boxWidth = 0; // 0 x 0: draw at the natural size
    std::int32_t boxHeight = 0;
    std::uint32_t pathBytes = 0; // the file's path follows, without a terminating zero
};

enum class Status : std::int32_t {
    Ok = 0,
    NotAMetafile = 1,
    Damaged = 2,
    TooLarge = 3, // natural size is given
    OutOfMemory = 4,
    Unreadable = 5,
};

// Followed, for Ok, by width * height pixels 0xFFRRGGBB, top row first, without padding.
struct Reply {
    std::uint32_t magic = ReplyMagic;
    Status status = Status::Ok;
    std::int32_t naturalWidth = 0;
    std::int32_t naturalHeight = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

} // namespace vistrel::metafile
