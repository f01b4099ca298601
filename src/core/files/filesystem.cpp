#include "core/files/filesystem.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "core/app/asciitext.h"
#include "core/files/rename.h"
#include "core/platform/trash.h"

#if defined(__unix__) || defined(__APPLE__)
#define VISTREL_POSIX_FILES 1
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/syscall.h>
#endif
#endif

namespace vistrel::core {

namespace fs = std::filesystem;

namespace {

// Progress is handed on at most this often within a file.
constexpr std::uint64_t ReportEvery = 4u << 20;

// A failed step: the path it concerns and why, as an error code or, for refusals the system
// has no code for, as text.
struct Fault {
    fs::path path;
    std::error_code ec;
    std::string reason;

    explicit operator bool() const { return ec || !reason.empty(); }
    std::optional<std::string> text() const {
        if (!*this) return std::nullopt;
        return path.string() + ": " + (reason.empty() ? ec.message() : reason);
    }
};

Fault Failed(const fs::path& path, std::errc code) { return {path, std::make_error_code(code), {}}; }

std::string InvalidName(const std::string& name) {
    return "\"" + name + "\": not a valid folder name";
}

// Hands progress to the caller now and then rather than per block.
class Meter {
public:
    Meter(const CopyProgress& report, std::uint64_t total) : m_report(report), m_total(total) {
        Report();
    }
    void Add(std::uint64_t bytes) {
        m_done += bytes;
        if (m_done - m_reported >= ReportEvery) Report();
    }
    void FileDone() { Report(); }
    // Files may have changed size since they were counted; the end is the end.
    void Finish() {
        m_total = m_done;
        Report();
    }

private:
    void Report() {
        m_reported = m_done;
        if (m_report) m_report(m_done, std::max(m_done, m_total));
    }
    const CopyProgress& m_report;
    std::uint64_t m_total;
    std::uint64_t m_done = 0;
    std::uint64_t m_reported = 0;
};

// "/a/b/" is the folder "/a/b"; a root keeps its separator.
fs::path WithoutTrailingSeparators(const fs::path& path) {
    fs::path result = path;
    while (!result.has_filename() && result.has_relative_path()) result = result.parent_path();
    return result;
}

// "/" or "C:\": a root has no name to rename, move or delete.
bool IsRoot(const fs::path& path) { return !path.empty() && !path.has_relative_path(); }

// What is at path, not following a link; file_type::not_found when nothing is.
Fault Lstat(const fs::path& path, fs::file_status& status) {
    std::error_code ec;
    status = fs::symlink_status(path, ec);
    if (ec && status.type() != fs::file_type::not_found) return {path, ec, {}};
    return {};
}

// A name for a temporary file beside the target: short, so that a long target name cannot
// push it past the name limit, and hidden.
fs::path TemporaryBeside(const fs::path& target) {
    static std::atomic<std::uint64_t> counter{0};
    const auto now = static_cast<std::uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint64_t mixed = (now ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull)) & 0xFFFFFFFFFFull;
    static constexpr char Hex[] = "0123456789abcdef";
    std::string name = ".vistrel-";
    for (int shift = 36; shift >= 0; shift -= 4) name += Hex[(mixed >> shift) & 0xF];
    return target.parent_path() / (name + ".tmp");
}

#ifdef VISTREL_POSIX_FILES

std::error_code LastError() { return {errno, std::generic_category()}; }

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Network file systems may report a failed write only here.
    std::error_code Close() {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 ? std::error_code() : LastError();
    }

private:
    int m_fd;
};

Fault CheckWritable(const fs::path& path) {
    if (::access(path.c_str(), W_OK) != 0) return {path, LastError(), {}};
    return {};
}

// Makes a new entry in folder durable; some file systems cannot sync a folder, which is fine.
void SyncFolder(const fs::path& folder) {
    const Descriptor dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

// Copies the rest of in to out: in the kernel where it can, else through a buffer.
Fault CopyBytes(int in, int out, std::uint64_t size, const fs::path& source,
                const fs::path& target, Meter& meter) {
    std::uint64_t copied = 0;
#if defined(__linux__) && defined(__GLIBC__) && \
    (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 27))
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, ReportEvery, 0);
        if (n > 0) {
            copied += static_cast<std::uint64_t>(n);
            meter.Add(static_cast<std::uint64_t>(n));
            continue;
        }
        // Files that report no size (/proc and the like) give their bytes only to read().
        if (n == 0 && (copied > 0 || size == 0)) return {};
        if (n == 0) break;
        if (errno == EINTR) continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL ||
            errno == EBADF)
            break;
        return {target, LastError(), {}};
    }
#endif
    const std::size_t bufferSize = std::clamp<std::uint64_t>(size - std::min(size, copied) + 1,
                                                             64u << 10, 1u << 20);
    const std::unique_ptr<char[]> buffer(new char[bufferSize]);
    for (;;) {
        const ssize_t n = ::read(in, buffer.get(), bufferSize);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return {source, LastError(), {}};
        if (n == 0) return {};
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(out, buffer.get() + written, static_cast<std::size_t>(n - written));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return {target, LastError(), {}};
            written += w;
        }
        meter.Add(static_cast<std::uint64_t>(n));
    }
}

// Copies source into a new file at target, created exclusively so that nothing there is ever
// replaced, and removed again on failure. Failures at the target are told under describeAs
// (the real destination when target is a temporary file). mode: the new file's exact
// permissions; without it the source's, less the umask, as for any new file.
Fault CopyIntoNewFile(const fs::path& source, const fs::path& target, const fs::path& describeAs,
                      std::optional<fs::perms> mode, bool sync, Meter& meter) {
    // Non-blocking, so that a named pipe cannot stall the open; refused just below.
    Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.get() < 0) return {source, LastError(), {}};
    struct stat info {};
    if (::fstat(in.get(), &info) != 0) return {source, LastError(), {}};
    if (S_ISDIR(info.st_mode)) return Failed(source, std::errc::is_a_directory);
    if (!S_ISREG(info.st_mode)) return Failed(source, std::errc::operation_not_supported);
    // Some network and FUSE file systems honour the flag on plain files too.
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);

    const auto createMode = static_cast<mode_t>(mode ? static_cast<unsigned>(*mode)
                                                     : (info.st_mode & 0777));
    Descriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode));
    if (out.get() < 0) return {describeAs, LastError(), {}};

    Fault fault = CopyBytes(in.get(), out.get(), static_cast<std::uint64_t>(info.st_size), source,
                            describeAs, meter);
    if (!fault && mode && ::fchmod(out.get(), createMode) != 0) fault = {describeAs, LastError(), {}};
    if (!fault) {
        // A copied picture keeps its date; a failure here is not worth failing the copy for.
#ifdef __APPLE__
        const timespec times[2] = {info.st_atimespec, info.st_mtimespec};
#else
        const timespec times[2] = {info.st_atim, info.st_mtim};
#endif
        ::futimens(out.get(), times);
    }
    if (!fault && sync && ::fsync(out.get()) != 0) fault = {describeAs, LastError(), {}};
    if (const std::error_code closed = out.Close(); !fault && closed) fault = {describeAs, closed, {}};
    if (fault) ::unlink(target.c_str());
    meter.FileDone();
    return fault;
}

#ifdef __linux__
int RenameNoReplaceCall(const fs::path& from, const fs::path& to) {
#if defined(RENAME_NOREPLACE)
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
#elif defined(SYS_renameat2)
    return static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 1u));
#else
    errno = ENOSYS;
    return -1;
#endif
}
#endif

#else // Not POSIX: standard C++ only.

Fault CheckWritable(const fs::path& path) {
    std::error_code ec;
    const fs::perms perms = fs::status(path, ec).permissions();
    if (ec) return {path, ec, {}};
    if ((perms & fs::perms::owner_write) == fs::perms::none)
        return Failed(path, std::errc::permission_denied);
    return {};
}

// Standard C++ cannot flush a folder.
void SyncFolder(const fs::path&) {}

// As above, with what standard C++ offers: copy_file refuses an existing target (checking
// first, so a file made by another program in between may be replaced), reports per file only
// and cannot flush to disk.
Fault CopyIntoNewFile(const fs::path& source, const fs::path& target, const fs::path& describeAs,
                      std::optional<fs::perms> mode, bool, Meter& meter) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::status(source, ec)))
        return ec ? Fault{source, ec, {}} : Failed(source, std::errc::operation_not_supported);
    const std::uint64_t size = fs::file_size(source, ec);
    fs::copy_file(source, target, fs::copy_options::none, ec);
    if (!ec && mode) fs::permissions(target, *mode, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(target, ignored);
        return {describeAs, ec, {}};
    }
    meter.Add(size);
    meter.FileDone();
    return {};
}

#endif

// Replaces target with a copy of source: the copy goes to a temporary file beside it, is
// flushed and then renamed over, so target is either as it was or the complete copy.
Fault ReplaceWithCopy(const fs::path& source, const fs::path& target,
                      const fs::file_status& targetStatus, Meter& meter) {
    // The replaced file keeps its permissions, as if written in place; a link gets the source's.
    std::optional<fs::perms> mode;
    if (!fs::is_symlink(targetStatus)) mode = targetStatus.permissions() & fs::perms::mask;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path temporary = TemporaryBeside(target);
        const Fault fault = CopyIntoNewFile(source, temporary, target, mode, true, meter);
        if (fault.ec == std::errc::file_exists) continue;
        if (fault) return fault;
        std::error_code ec;
        fs::rename(temporary, target, ec);
        if (!ec) return {};
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return {target, ec, {}};
    }
    return Failed(target, std::errc::file_exists);
}

// Copies one file to target; an existing target is replaced only when overwrite is set.
// sync flushes a copy to a new name too (moves across volumes need it).
Fault CopyOneFile(const fs::path& source, const fs::path& target, bool overwrite, bool sync,
                  Meter& meter) {
    fs::file_status targetStatus;
    if (Fault fault = Lstat(target, targetStatus)) return fault;
    if (!fs::exists(targetStatus))
        return CopyIntoNewFile(source, target, target, std::nullopt, sync, meter);

    if (!overwrite) return Failed(target, std::errc::file_exists);
    if (fs::is_directory(targetStatus)) return Failed(target, std::errc::is_a_directory);
    std::error_code ec;
    if (fs::equivalent(source, target, ec) && !ec)
        return {target, {}, "is the same file as " + source.string()};
    if (!fs::is_symlink(targetStatus))
        if (Fault fault = CheckWritable(target)) return fault;
    return ReplaceWithCopy(source, target, targetStatus, meter);
}

// Copies a link as a link. replace lets it take the place of an existing entry (not a folder).
Fault CopyLink(const fs::path& source, const fs::path& target, bool replace) {
    std::error_code ec;
    const fs::path linkTo = fs::read_symlink(source, ec);
    if (ec) return {source, ec, {}};
    // Windows makes folder links differently; a dangling or looping link counts as a file link.
    const bool toFolder = fs::is_directory(fs::status(source, ec));
    const auto make = [&](const fs::path& at) {
        std::error_code made;
        if (toFolder)
            fs::create_directory_symlink(linkTo, at, made);
        else
            fs::create_symlink(linkTo, at, made);
        return made;
    };

    fs::file_status targetStatus;
    if (Fault fault = Lstat(target, targetStatus)) return fault;
    if (!fs::exists(targetStatus)) {
        ec = make(target);
        return ec ? Fault{target, ec, {}} : Fault{};
    }
    if (!replace) return Failed(target, std::errc::file_exists);
    // Made under a temporary name first, so the old entry stays until the new one exists.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path temporary = TemporaryBeside(target);
        ec = make(temporary);
        if (ec == std::errc::file_exists) continue;
        if (ec) return {target, ec, {}};
        fs::rename(temporary, target, ec);
        if (!ec) return {};
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return {target, ec, {}};
    }
    return Failed(target, std::errc::file_exists);
}

// On a file system that ignores case, "Summer" -> "summer" finds the folder itself under the
// new name; that rename replaces nothing.
bool SameEntryInOtherCase(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    return from.parent_path() == to.parent_path() && from.filename() != to.filename() &&
           EqualsIgnoringAsciiCase(from.filename().string(), to.filename().string()) &&
           fs::equivalent(from, to, ec) && !ec;
}

// Renames from to to unless something is at to, atomically where the system can.
Fault RenameNoReplace(const fs::path& from, const fs::path& to, const fs::file_status& fromStatus) {
    std::error_code ec;
    if (SameEntryInOtherCase(from, to)) {
        fs::rename(from, to, ec);
        return ec ? Fault{from, ec, {}} : Fault{};
    }
#ifdef __linux__
    if (RenameNoReplaceCall(from, to) == 0) return {};
    const int error = errno;
    if (error == EEXIST) return Failed(to, std::errc::file_exists);
    // EINVAL also means "into itself"; the fallbacks below fail on that too.
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP)
        return {from, {error, std::generic_category()}, {}};
    // This file system cannot refuse by itself (some network and FUSE file systems).
#endif
#ifdef VISTREL_POSIX_FILES
    if (fs::is_regular_file(fromStatus)) {
        // A hard link is made only where the name is free, atomically; then the old name goes.
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0) return {};
            const Fault fault{from, LastError(), {}};
            ::unlink(to.c_str()); // the file is still under its old name
            return fault;
        }
        if (errno == EEXIST) return Failed(to, std::errc::file_exists);
        if (errno == EXDEV) return Failed(from, std::errc::cross_device_link);
        // Otherwise this file system has no hard links (FAT, some shares): as for folders.
    }
#else
    (void)fromStatus;
#endif
    // Check, then rename: a name another program makes in between would still be replaced.
    // Nothing portable closes that window for folders and links.
    fs::file_status toStatus;
    if (Fault fault = Lstat(to, toStatus)) return fault;
    if (fs::exists(toStatus)) return Failed(to, std::errc::file_exists);
    fs::rename(from, to, ec);
    return ec ? Fault{from, ec, {}} : Fault{};
}

struct TreeEntry {
    fs::path relative;
    fs::file_type type = fs::file_type::unknown;
    std::uint64_t size = 0;
    fs::perms perms = fs::perms::unknown;
};

// Everything inside root, each folder before its contents. Links are listed, never followed,
// so a link loop ends the walk like any other entry.
Fault ListTree(const fs::path& root, std::vector<TreeEntry>& entries, std::uint64_t& bytes) {
    std::error_code ec;
    fs::recursive_directory_iterator it(root, ec);
    if (ec) return {root, ec, {}};
    for (const fs::recursive_directory_iterator end; it != end;) {
        const fs::directory_entry& entry = *it;
        TreeEntry item{entry.path().lexically_relative(root)};
        if (entry.is_symlink(ec)) {
            item.type = fs::file_type::symlink;
        } else if (!ec && entry.is_directory(ec)) {
            item.type = fs::file_type::directory;
            item.perms = entry.status(ec).permissions();
        } else if (!ec && entry.is_regular_file(ec)) {
            item.type = fs::file_type::regular;
            item.size = entry.file_size(ec);
            bytes += item.size;
        }
        if (ec) return {entry.path(), ec, {}};
        entries.push_back(std::move(item));
        const fs::path current = entry.path();
        it.increment(ec);
        if (ec) return {current, ec, {}}; // a folder that cannot be read
    }
    return {};
}

// Makes the folder target unless a real folder is there already; links to folders do not count,
// so nothing is ever written through one.
Fault EnsureFolder(const fs::path& target, bool& created) {
    std::error_code ec;
    created = fs::create_directory(target, ec);
    if (ec) return {target, ec, {}};
    if (!created && !fs::is_directory(fs::symlink_status(target, ec)))
        return Failed(target, std::errc::not_a_directory);
    return {};
}

// Copies the tree of source into target, reporting the bytes copied. merge lets target and
// folders in it exist already, and files in them be replaced; sync flushes every file and new
// folder. madeTarget says whether target was made here.
Fault CopyTree(const fs::path& source, fs::perms sourcePerms, const fs::path& target, bool merge,
               bool sync, const CopyProgress& progress, bool& madeTarget) {
    std::vector<TreeEntry> entries;
    std::uint64_t bytes = 0;
    if (Fault listed = ListTree(source, entries, bytes)) return listed;
    Meter meter(progress, bytes);
    bool created = false;
    if (Fault fault = EnsureFolder(target, created)) return fault;
    madeTarget = created;
    if (!created && !merge) return Failed(target, std::errc::file_exists);
    // New folders get their permissions last, so that a read-only one can still be filled.
    std::vector<std::pair<fs::path, fs::perms>> made;
    if (created) made.emplace_back(target, sourcePerms);

    for (const TreeEntry& entry : entries) {
        const fs::path from = source / entry.relative;
        const fs::path to = target / entry.relative;
        Fault fault;
        switch (entry.type) {
        case fs::file_type::directory:
            fault = EnsureFolder(to, created);
            if (!fault && created) made.emplace_back(to, entry.perms);
            break;
        case fs::file_type::regular:
            fault = CopyOneFile(from, to, merge, sync, meter);
            break;
        case fs::file_type::symlink:
            fault = CopyLink(from, to, merge);
            break;
        default: // pipes, sockets, devices
            fault = Failed(from, std::errc::operation_not_supported);
        }
        if (fault) return fault;
    }
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        std::error_code ec;
        fs::permissions(it->first, it->second, ec);
        if (ec) return {it->first, ec, {}};
        if (sync) SyncFolder(it->first);
    }
    meter.Finish();
    return {};
}

// Refuses destination when it is folder itself or lies anywhere inside it, with links and
// mount points resolved.
Fault RefuseInside(const fs::path& folder, const fs::path& destination) {
    std::error_code ec;
    const fs::path resolved = fs::canonical(destination, ec);
    if (ec) return {destination, ec, {}};
    if (!fs::is_directory(resolved, ec)) return Failed(destination, std::errc::not_a_directory);
    for (fs::path at = resolved;; at = at.parent_path()) {
        if (fs::equivalent(at, folder, ec) && !ec)
            return {destination, {}, "the destination folder is the source folder or inside it"};
        if (at == at.parent_path()) return {};
    }
}

// Checks a folder to be copied or moved and finds the name it is to have in destination.
Fault PrepareFolderTransfer(const fs::path& folder, const fs::path& destination,
                            fs::file_status& status, fs::path& target) {
    std::error_code ec;
    status = fs::status(folder, ec);
    if (ec) return {folder, ec, {}};
    if (!fs::is_directory(status)) return Failed(folder, std::errc::not_a_directory);
    if (IsRoot(folder)) return Failed(folder, std::errc::device_or_resource_busy);
    if (Fault fault = RefuseInside(folder, destination)) return fault;
    target = destination / folder.filename();
    return {};
}

} // namespace

std::optional<std::string> FileSystem::CopyFile(const std::string& source,
                                                const std::string& destinationFile,
                                                bool overwrite, const CopyProgress& progress) {
    std::error_code ec;
    const std::uint64_t size = fs::file_size(source, ec);
    if (ec) return Fault{source, ec, {}}.text();
    Meter meter(progress, size);
    const Fault fault = CopyOneFile(source, destinationFile, overwrite, false, meter);
    if (!fault) meter.Finish();
    return fault.text();
}

std::optional<std::string> FileSystem::MoveFile(const std::string& source,
                                                const std::string& destinationFile,
                                                const CopyProgress& progress) {
    const fs::path from(source);
    const fs::path to(destinationFile);
    fs::file_status status;
    if (Fault fault = Lstat(from, status)) return fault.text();
    if (!fs::exists(status)) return Failed(from, std::errc::no_such_file_or_directory).text();
    if (fs::is_directory(status)) return Failed(from, std::errc::is_a_directory).text();

    Fault fault = RenameNoReplace(from, to, status);
    if (fault.ec != std::errc::cross_device_link) return fault.text();

    // Another volume: a complete, flushed copy first, and only then the source goes.
    std::error_code ec;
    const std::uint64_t size = fs::is_regular_file(status) ? fs::file_size(from, ec) : 0;
    Meter meter(progress, ec ? 0 : size);
    fault = fs::is_symlink(status) ? CopyLink(from, to, false)
                                   : CopyIntoNewFile(from, to, to, std::nullopt, true, meter);
    if (fault) return fault.text();
    SyncFolder(to.parent_path());
    fs::remove(from, ec);
    if (ec) {
        const Fault kept{from, ec, {}};
        std::error_code ignored;
        fs::remove(to, ignored); // the source is still there, whole
        return kept.text();
    }
    meter.Finish();
    return std::nullopt;
}

std::optional<std::string> FileSystem::CheckDeletable(const std::string& path) {
    const fs::path target = WithoutTrailingSeparators(path);
    fs::file_status status;
    if (Fault fault = Lstat(target, status)) return fault.text();
    if (!fs::exists(status)) return Failed(target, std::errc::no_such_file_or_directory).text();
    // Removing an entry takes write permission on the folder holding it.
    const fs::path parent = target.parent_path();
    if (Fault fault = CheckWritable(parent.empty() ? fs::path(".") : parent)) return fault.text();
    if (fs::is_symlink(status)) return std::nullopt;
    if (Fault fault = CheckWritable(target)) return fault.text();
    if (!fs::is_directory(status)) return std::nullopt;

    std::vector<TreeEntry> entries;
    std::uint64_t bytes = 0;
    if (Fault fault = ListTree(target, entries, bytes)) return fault.text();
    for (const TreeEntry& entry : entries)
        if (entry.type != fs::file_type::symlink)
            if (Fault fault = CheckWritable(target / entry.relative)) return fault.text();
    return std::nullopt;
}

DeleteResult FileSystem::DeleteFile(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(path, ec)))
        return {DeleteOutcome::Failed, *Failed(path, std::errc::is_a_directory).text()};
    if (auto why = CheckDeletable(path)) return {DeleteOutcome::Failed, *why};
    if (!m_trash.HasTrash(path)) return {DeleteOutcome::NoTrash, {}};
    if (auto why = m_trash.MoveToTrash(path)) return {DeleteOutcome::Failed, *why};
    return {};
}

DeleteResult FileSystem::DeleteFolder(const std::string& path) {
    const fs::path folder = WithoutTrailingSeparators(path);
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (ec) return {DeleteOutcome::Failed, *Fault{folder, ec, {}}.text()};
    if (!fs::is_directory(status))
        return {DeleteOutcome::Failed, *Failed(folder, std::errc::not_a_directory).text()};
    if (IsRoot(folder))
        return {DeleteOutcome::Failed, *Failed(folder, std::errc::device_or_resource_busy).text()};
    if (auto why = CheckDeletable(folder.string())) return {DeleteOutcome::Failed, *why};
    if (!m_trash.HasTrash(folder.string())) return {DeleteOutcome::NoTrash, {}};
    if (auto why = m_trash.MoveToTrash(folder.string())) return {DeleteOutcome::Failed, *why};
    return {};
}

std::optional<std::string> FileSystem::DeletePermanently(const std::string& path) {
    const fs::path target = WithoutTrailingSeparators(path);
    if (IsRoot(target)) return Failed(target, std::errc::device_or_resource_busy).text();
    if (auto why = CheckDeletable(target.string())) return why;
    std::error_code ec;
    fs::remove_all(target, ec);
    return ec ? Fault{target, ec, {}}.text() : std::nullopt;
}

std::optional<std::string> FileSystem::CreateFolder(const std::string& parent,
                                                    const std::string& name) {
    if (!IsPlainFileName(name)) return InvalidName(name);
    const fs::path target = fs::path(parent) / name;
    std::error_code ec;
    if (fs::create_directory(target, ec)) return std::nullopt;
    // create_directory does not count a folder that is already there as a failure.
    return ec ? Fault{target, ec, {}}.text() : Failed(target, std::errc::file_exists).text();
}

std::optional<std::string> FileSystem::RenameFolder(const std::string& path,
                                                    const std::string& newName) {
    if (!IsPlainFileName(newName)) return InvalidName(newName);
    const fs::path from = WithoutTrailingSeparators(path);
    if (IsRoot(from)) return Failed(from, std::errc::device_or_resource_busy).text();
    std::error_code ec;
    const fs::file_status status = fs::status(from, ec);
    if (ec) return Fault{from, ec, {}}.text();
    if (!fs::is_directory(status)) return Failed(from, std::errc::not_a_directory).text();
    return RenameNoReplace(from, from.parent_path() / newName, fs::symlink_status(from, ec)).text();
}

std::optional<std::string> FileSystem::MoveFolder(const std::string& folder,
                                                  const std::string& destination,
                                                  const CopyProgress& progress) {
    const fs::path from = WithoutTrailingSeparators(folder);
    fs::file_status status;
    fs::path to;
    if (Fault fault = PrepareFolderTransfer(from, WithoutTrailingSeparators(destination), status, to))
        return fault.text();
    fs::file_status toStatus;
    if (Fault fault = Lstat(to, toStatus)) return fault.text();
    if (fs::exists(toStatus)) return Failed(to, std::errc::file_exists).text();

    std::error_code ec;
    Fault fault = RenameNoReplace(from, to, fs::symlink_status(from, ec));
    if (fault.ec != std::errc::cross_device_link) return fault.text();

    // Another volume: copy the whole folder, flushed, then remove the source. It must all be
    // removable, or the move would end with the folder in both places.
    if (auto why = CheckDeletable(from.string())) return why;
    bool made = false;
    fault = CopyTree(from, status.permissions(), to, false, true, progress, made);
    if (fault) {
        std::error_code ignored;
        if (made) fs::remove_all(to, ignored); // the source is whole
        return fault.text();
    }
    SyncFolder(to.parent_path());
    fs::remove_all(from, ec);
    // The copy is complete, so a source that could not be removed loses nothing.
    if (ec) return Fault{from, ec, {}}.text();
    return std::nullopt;
}

std::optional<std::string> FileSystem::CopyFolder(const std::string& folder,
                                                  const std::string& destination,
                                                  const CopyProgress& progress) {
    const fs::path from = WithoutTrailingSeparators(folder);
    fs::file_status status;
    fs::path to;
    if (Fault fault = PrepareFolderTransfer(from, WithoutTrailingSeparators(destination), status, to))
        return fault.text();
    std::error_code ec;
    // Into its own parent: every file would be copied onto itself.
    if (fs::equivalent(from, to, ec) && !ec)
        return Fault{to, {}, "is the same folder as " + from.string()}.text();

    bool made = false;
    return CopyTree(from, status.permissions(), to, true, false, progress, made).text();
}

std::optional<std::string> FileSystem::ParentFolder(const std::string& path) {
    const fs::path folder = WithoutTrailingSeparators(path);
    if (!folder.has_relative_path()) return std::nullopt;
    const fs::path parent = WithoutTrailingSeparators(folder.parent_path());
    if (parent.empty()) return std::nullopt;
    return parent.string();
}

} // namespace vistrel::core
