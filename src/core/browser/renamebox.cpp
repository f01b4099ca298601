#include "core/browser/renamebox.h"

#include <filesystem>
#include <system_error>

#include "core/app/asciitext.h"

namespace vistrel::core {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMessageCaption = "Vistrel";

std::string Describe(const fs::path& path, const std::error_code& ec) {
    return path.filename().string() + ": " + ec.message();
}

} // namespace

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::optional<std::string> RenameWithoutReplacing(const std::string& folder,
                                                  const std::string& from,
                                                  const std::string& to) {
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

RenameBox::RenameBox(ThumbnailSheet& sheet, const FolderBrowser& browser, Dialogs& dialogs,
                     RenameHooks& hooks)
    : m_sheet(sheet), m_browser(browser), m_dialogs(dialogs), m_hooks(hooks) {}

bool RenameBox::CaptionDoubleClick(const std::string& name) {
    if (isOpen()) return false;
    const int index = m_sheet.FindCell(name);
    if (index < 0) return false;
    m_index = index;
    m_generation = m_sheet.generation();
    // The folder the cells were read from, which is where the file is.
    m_folder = m_browser.fileListPath();
    m_fileName = name;
    return true;
}

void RenameBox::Close() {
    m_index = -1;
    m_folder.clear();
    m_fileName.clear();
}

const std::string& RenameBox::fileName() const {
    static const std::string none;
    return isOpen() ? m_fileName : none;
}

Box RenameBox::box() const {
    if (!isOpen()) return Box{0, 0, 0, 0, false};
    const Box& caption = m_sheet.cell(m_index).caption;
    return Box{caption.left, caption.top - AboveCaption, caption.width, Height};
}

Box RenameBox::sheetBox() const {
    Box result = box();
    if (!isOpen()) return result;
    const Box& cell = m_sheet.cell(m_index).cell;
    result.left += cell.left;
    result.top += cell.top;
    return result;
}

bool RenameBox::LostFocus(const std::string& text) {
    // Closed, or the cells were rebuilt under the box: whatever it holds is no longer about
    // the file it was opened on.
    if (!isOpen()) {
        Close();
        return false;
    }
    const int index = m_index;
    const std::string folder = m_folder;
    const std::string from = m_fileName;
    Close();
    if (text.empty() || text == from) return false;
    if (RenameWithoutReplacing(folder, from, text)) {
        m_dialogs.MessageBox(text + " has already been used.", kMessageCaption,
                             MessageButtons::OK, MessageIcon::None);
        return false;
    }
    m_sheet.cell(index).name = text;
    m_hooks.refreshFolder();
    return true;
}

bool RenameBox::KeyDown(RenameKey key, const std::string& text) {
    if (!isOpen()) return false;
    switch (key) {
    case RenameKey::Enter: LostFocus(text); return true;
    case RenameKey::Escape: Close(); return true;
    case RenameKey::Other: return false;
    }
    return false;
}

} // namespace vistrel::core
