#include "qt/platform/metafileloader.h"

#include <QCoreApplication>

#include <chrono>
#include <filesystem>
#include <new>

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include "core/viewer/pictureloadrules.h"
#include "metafile/protocol.h"

namespace vistrel::qt {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using core::LoadError;
using core::LoadResult;
using core::MetafileFailure;
using metafile::Reply;
using metafile::Request;
using metafile::Status;

bool isProgram(const fs::path& path) {
    std::error_code error;
#ifdef _WIN32
    return fs::is_regular_file(path, error);
#else
    return fs::is_regular_file(path, error) && access(path.c_str(), X_OK) == 0;
#endif
}

#ifndef _WIN32

// Waits until fd is ready for events or the deadline passes.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0) return false;
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(left) + 1);
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

enum class Io { Ok, Closed, TimedOut };

Io sendAll(int fd, const void* data, std::size_t size, Clock::time_point deadline) {
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        if (!waitFor(fd, POLLOUT, deadline)) return Io::TimedOut;
        // MSG_NOSIGNAL: a helper that died must not take the viewer down with SIGPIPE.
        const ssize_t put = send(fd, at, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (put < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        if (put <= 0) return Io::Closed;
        at += put;
        size -= static_cast<std::size_t>(put);
    }
    return Io::Ok;
}

Io receiveAll(int fd, void* data, std::size_t size, Clock::time_point deadline,
              std::size_t* received = nullptr) {
    auto* at = static_cast<char*>(data);
    while (size > 0) {
        if (!waitFor(fd, POLLIN, deadline)) return Io::TimedOut;
        const ssize_t got = recv(fd, at, size, MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        if (got <= 0) return Io::Closed;
        at += got;
        size -= static_cast<std::size_t>(got);
        if (received) *received += static_cast<std::size_t>(got);
    }
    return Io::Ok;
}

#endif

LoadResult fromStatus(const std::string& path, const Reply& reply) {
    switch (reply.status) {
    case Status::NotAMetafile:
        return core::LoadFailure(path, LoadError::NotAPicture);
    case Status::Damaged:
        return core::LoadFailure(path, LoadError::Damaged);
    case Status::OutOfMemory:
        return core::LoadFailure(path, LoadError::OutOfMemory);
    case Status::Unreadable:
        return core::LoadFailure(path, LoadError::Unreadable);
    case Status::TooLarge:
        if (reply.naturalWidth > 0 && reply.naturalHeight > 0 &&
            core::IsTooLarge(reply.naturalWidth, reply.naturalHeight, core::MinDecodeBytes))
            return core::LoadFailure(path, LoadError::TooLarge, reply.naturalWidth,
                                     reply.naturalHeight);
        break;
    case Status::Ok:
        break;
    }
    return core::MetafileLoadFailure(path, MetafileFailure::ReaderFailed);
}

// The size the reply must have for the request, or none when its natural size is absurd.
std::optional<core::PixelSize> expectedSize(const Reply& reply,
                                            std::optional<core::PixelSize> box) {
    const auto sane = [](int side) { return side >= 1 && side <= core::MaxMetafileSide; };
    if (!sane(reply.naturalWidth) || !sane(reply.naturalHeight) ||
        core::IsTooLarge(reply.naturalWidth, reply.naturalHeight, core::MinDecodeBytes))
        return std::nullopt;
    if (!box) return core::PixelSize{reply.naturalWidth, reply.naturalHeight};
    return core::FitInsidePixels(reply.naturalWidth, reply.naturalHeight, box->width,
                                 box->height);
}

} // namespace

MetafileLoader::MetafileLoader() : MetafileLoader(Options{}) {}

MetafileLoader::MetafileLoader(Options options) : m_options(std::move(options)) {
    if (m_options.helperPath.empty()) m_options.helperPath = DefaultHelperPath();
}

MetafileLoader::~MetafileLoader() {
    for (Helper& helper : m_idle)
        end(helper);
}

std::string MetafileLoader::DefaultHelperPath() {
#ifdef _WIN32
    const char* name = "vistrel-metafile.exe";
#else
    const char* name = "vistrel-metafile";
#endif
    fs::path folder;
    std::error_code error;
    if (QCoreApplication::instance())
        folder = fs::path(QCoreApplication::applicationDirPath().toStdString());
    else
        folder = fs::read_symlink("/proc/self/exe", error).parent_path();
    std::vector<fs::path> candidates = {folder / name,
                                        folder / ".." / "libexec" / "vistrel" / name};
#ifdef VISTREL_METAFILE_BUILD_PATH
    candidates.emplace_back(VISTREL_METAFILE_BUILD_PATH);
#endif
    for (const fs::path& candidate : candidates)
        if (isProgram(candidate)) return candidate.lexically_normal().string();
    return candidates.front().string();
}

#ifdef _WIN32

std::optional<MetafileLoader::Helper> MetafileLoader::start() const { return std::nullopt; }
void MetafileLoader::end(Helper&) {}
MetafileLoader::Outcome MetafileLoader::draw(Helper&, const std::string& path,
                                             std::optional<core::PixelSize>,
                                             LoadResult& result) const {
    result = core::MetafileLoadFailure(path, MetafileFailure::ReaderMissing);
    return Outcome::Done;
}

#else

std::optional<MetafileLoader::Helper> MetafileLoader::start() const {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return std::nullopt;
    // The child's end becomes its stdin and stdout; keep it clear of those numbers here.
    if (ends[1] <= STDERR_FILENO) {
        const int moved = fcntl(ends[1], F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        close(ends[1]);
        ends[1] = moved;
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    // Libraries chatter on stderr; sanitizer builds keep it, for the sanitizer's reports.
    if (MetafileSlowdown == 1)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The calling thread's blocked and ignored signals are no business of the helper.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGABRT})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::string program = m_options.helperPath;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = -1;
    const int failed =
        ends[1] < 0 ? EBADF : posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (ends[1] >= 0) close(ends[1]);
    if (failed) {
        close(ends[0]);
        return std::nullopt;
    }
    return Helper{pid, ends[0], 0};
}

void MetafileLoader::end(Helper& helper) {
    if (helper.fd >= 0) close(helper.fd);
    if (helper.pid > 0) {
        kill(helper.pid, SIGKILL);
        while (waitpid(helper.pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    helper = Helper{};
}

MetafileLoader::Outcome MetafileLoader::draw(Helper& helper, const std::string& path,
                                             std::optional<core::PixelSize> box,
                                             LoadResult& result) const {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(m_options.timeLimitMs);
    const bool reused = helper.files > 0;
    ++helper.files;
    const auto timedOut = [&] {
        result = core::MetafileLoadFailure(path, MetafileFailure::TimedOut);
        return Outcome::Done;
    };
    const auto failed = [&] {
        result = core::MetafileLoadFailure(path, MetafileFailure::ReaderFailed);
        return Outcome::Done;
    };

    Request request;
    request.boxWidth = box ? std::max(box->width, 1) : 0;
    request.boxHeight = box ? std::max(box->height, 1) : 0;
    request.pathBytes = static_cast<std::uint32_t>(path.size());
    if (path.empty() || path.size() > metafile::MaxPathBytes) {
        result = core::LoadFailure(path, LoadError::Unreadable);
        return Outcome::Done;
    }
    Io io = sendAll(helper.fd, &request, sizeof request, deadline);
    if (io == Io::Ok) io = sendAll(helper.fd, path.data(), path.size(), deadline);
    // A kept helper that has gone away meanwhile gets one fresh successor.
    if (io == Io::Closed) return reused ? Outcome::Retry : failed();
    if (io == Io::TimedOut) return timedOut();

    Reply reply;
    std::size_t received = 0;
    io = receiveAll(helper.fd, &reply, sizeof reply, deadline, &received);
    if (io == Io::Closed) return reused && received == 0 ? Outcome::Retry : failed();
    if (io == Io::TimedOut) return timedOut();
    if (reply.magic != metafile::ReplyMagic) return failed();
    if (reply.status != Status::Ok) {
        result = fromStatus(path, reply);
        return Outcome::Done;
    }
    const std::optional<core::PixelSize> size = expectedSize(reply, box);
    if (!size || reply.width != size->width || reply.height != size->height) return failed();

    core::Image image;
    try {
        image = core::Image(size->width, size->height);
    } catch (const std::bad_alloc&) {
        result = core::LoadFailure(path, LoadError::OutOfMemory);
        return Outcome::Done;
    }
    io = receiveAll(helper.fd, image.data(), image.pixelCount() * sizeof(core::Image::Pixel),
                    deadline);
    if (io == Io::Closed) return failed();
    if (io == Io::TimedOut) return timedOut();
    // Core pictures are opaque, whatever arrived.
    core::Image::Pixel* pixel = image.data();
    for (std::size_t i = 0, n = image.pixelCount(); i < n; ++i)
        pixel[i] |= 0xFF000000u;
    result = LoadResult{};
    result.image = std::move(image);
    result.naturalWidth = reply.naturalWidth;
    result.naturalHeight = reply.naturalHeight;
    return Outcome::Done;
}

#endif

core::LoadResult MetafileLoader::load(const std::string& path,
                                      std::optional<core::PixelSize> box) const {
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::optional<Helper> helper;
        {
            const std::lock_guard lock(m_mutex);
            if (!m_idle.empty()) {
                helper = m_idle.back();
                m_idle.pop_back();
            }
        }
        if (!helper) helper = start();
        if (!helper) {
            const bool missing = !isProgram(m_options.helperPath);
            return core::MetafileLoadFailure(path, missing ? MetafileFailure::ReaderMissing
                                                           : MetafileFailure::ReaderFailed);
        }
        LoadResult result;
        const Outcome outcome = draw(*helper, path, box, result);
        // A helper that failed a file ends itself; one that erred or hangs is ended here.
        if (outcome == Outcome::Done && result.ok() && helper->files < m_options.filesPerHelper) {
            const std::lock_guard lock(m_mutex);
            m_idle.push_back(*helper);
        } else {
            end(*helper);
        }
        if (outcome == Outcome::Done) return result;
    }
    return core::MetafileLoadFailure(path, MetafileFailure::ReaderFailed);
}

} // namespace vistrel::qt
