#include "core/files/rename.h"

#include <filesystem>
#include <system_error>

#include "core/app/asciitext.h"

namespace vistrel::core {

namespace fs = std::filesystem;

namespace {

std::string Describe(const fs::path& path, const std::error_code& ec) {
    return path.filename().string() + ": " + ec.message();
}

} // namespace

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::optional<std::string> RenameWithoutReplacing(const std::string& folder,
                                                  const std::string& from, const std::string& to) {
    if (!IsPlainFileName(from)) return from + ": not a file name";
    if (!IsPlainFileName(to)) return to + ": not a file name";
    const fs::path source = fs::path(folder) / from;
    const fs::path target = fs::path(folder) / to;
    std::error_code ec;

    const fs::file_status sourceStatus = fs::symlink_status(source, ec);
    if (ec || !fs::exists(sourceStatus)) return from + ": file not found";

    // symlink_status, so that a dangling link counts as taken too.
    const fs::file_status targetStatus = fs::symlink_status(target, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) return Describe(target, ec);
    if (fs::exists(targetStatus)) {
        // Where names ignore case, "a.jpg" -> "A.jpg" finds the file itself under the new name.
        const bool sameFile =
            EqualsIgnoringAsciiCase(from, to) && fs::equivalent(source, target, ec) && !ec;
        if (!sameFile) return to + ": already exists";
        fs::rename(source, target, ec);
        return ec ? std::optional<std::string>(Describe(source, ec)) : std::nullopt;
    }

    // std::filesystem::rename replaces an existing target on POSIX and has no "no replace"
    // flag. A hard link is created only if the new name is free, atomically, so link and
    // then unlink the old name.
    if (fs::is_regular_file(sourceStatus)) {
        fs::create_hard_link(source, target, ec);
        if (!ec) {
            fs::remove(source, ec);
            if (!ec) return std::nullopt;
            const std::string failure = Describe(source, ec);
            std::error_code undo;
            fs::remove(target, undo); // the file is still under its old name
            return failure;
        }
        if (ec == std::errc::file_exists) return to + ": already exists";
        // Anything else: this file system may not do hard links (FAT, some network shares).
    }

    // Fallback: check, then rename. Another program creating the new name between the two
    // calls would still be replaced; nothing in standard C++ closes that window.
    const fs::file_status recheck = fs::symlink_status(target, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) return Describe(target, ec);
    if (fs::exists(recheck)) return to + ": already exists";
    fs::rename(source, target, ec);
    return ec ? std::optional<std::string>(Describe(source, ec)) : std::nullopt;
}

} // namespace vistrel::core
