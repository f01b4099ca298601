#include "core/files/filecommands.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/app/apptitle.h"
#include "core/files/pathutil.h"

namespace vistrel::core {

namespace fs = std::filesystem;

FileCommands::FileCommands(FolderBrowser& browser, Selection& selection, CurrentImage& current,
                           RenameBox& rename, StatusBarState& status, Dialogs& dialogs,
                           FileSystem& files, EventPump& pump)
    : m_browser(browser), m_selection(selection), m_current(current), m_rename(rename),
      m_status(status), m_dialogs(dialogs), m_files(files), m_pump(pump) {}

std::string FileCommands::CurrentName() const {
    const auto& files = m_browser.files();
    const int index = m_current.CurrentFileIndex;
    if (index < 0 || index >= static_cast<int>(files.size())) return {};
    return files[static_cast<std::size_t>(index)];
}

void FileCommands::ShowProgress(std::uint64_t done, std::uint64_t total) {
    const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1;
    // Above 0 from the start, since 0 means idle.
    m_status.progress = std::clamp(share * 100, 1.0, 100.0);
    m_pump.repaint();
}

// --- pictures --------------------------------------------------------------------------

void FileCommands::CopyTo() {
    const auto& names = m_selection.names();
    const std::string first = names.empty() ? std::string() : names.front();
    const auto chosen = m_dialogs.ChooseFolder("Copy " + first + " to...", m_browser.folderPath());
    CopySelectedFiles(chosen.value_or(""));
}

void FileCommands::MoveTo() {
    const auto chosen = m_dialogs.ChooseFolder("Move to...", m_browser.folderPath());
    MoveSelectedFiles(chosen.value_or(""));
}

void FileCommands::CopySelectedFiles(const std::string& destination) {
    if (destination.empty()) {
        Say(" Copy cancelled ");
        return;
    }
    TransferSelected(Transfer::Copy, destination);
}

void FileCommands::MoveSelectedFiles(const std::string& destination) {
    if (destination.empty()) {
        Say(" Move cancelled ");
        return;
    }
    TransferSelected(Transfer::Move, destination);
}

void FileCommands::TransferSelected(Transfer kind, const std::string& destination) {
    const std::string folder = AppendPathSeparator(m_browser.folderPath());
    const std::string target = AppendPathSeparator(destination);
    // A copy of the names: a repaint must not see the loop's list change under it.
    const std::vector<std::string> names = m_selection.names();

    std::uint64_t total = 0;
    for (const auto& name : names) {
        std::error_code error;
        const auto size = fs::file_size(fs::path(folder + name), error);
        if (!error) total += size;
    }
    std::uint64_t before = 0;
    const CopyProgress progress = [&](std::uint64_t done, std::uint64_t) {
        ShowProgress(before + done, total);
    };

    const std::string verb = kind == Transfer::Copy ? " copied  to " : " moved to ";
    for (const auto& name : names) {
        const std::string source = folder + name;
        std::error_code error;
        const auto size = fs::file_size(fs::path(source), error);
        const auto failure = kind == Transfer::Copy
                                 ? m_files.CopyFile(source, target + name, true, progress)
                                 : m_files.MoveFile(source, target + name, progress);
        if (failure) {
            EndProgress();
            Fail(*failure);
            return;
        }
        if (kind == Transfer::Move && m_thumbnails) m_thumbnails->Moved(source, target + name);
        if (!error) before += size;
        Say(CurrentName() + verb + destination);
    }
    EndProgress();
    // The progress bar is back at 0 first: a refresh does nothing while it shows work.
    if (kind == Transfer::Move) m_browser.RefreshFolder();
}

bool FileCommands::Delete(const std::string& path, bool folder, bool& permanentAgreed) {
    DeleteResult result = folder ? m_files.DeleteFolder(path) : m_files.DeleteFile(path);
    if (result.outcome == DeleteOutcome::NoTrash) {
        if (!permanentAgreed) {
            const auto answer = m_dialogs.MessageBox(
                path + " cannot be moved to the trash. Delete it permanently?", AppTitle,
                MessageButtons::YesNo, MessageIcon::Warning);
            if (answer != DialogAnswer::Yes) {
                Say(folder ? " Delete cancelled " : " Delete cancelled");
                return false;
            }
            permanentAgreed = true;
        }
        if (auto failure = m_files.DeletePermanently(path))
            result = {DeleteOutcome::Failed, *failure};
        else
            result = {DeleteOutcome::Deleted, {}};
    }
    if (result.outcome == DeleteOutcome::Failed) {
        if (!folder)
            m_dialogs.MessageBox("This file can not be deleted.", AppTitle, MessageButtons::OK,
                                 MessageIcon::None);
        Fail(result.description);
        return false;
    }
    return true;
}

void FileCommands::DeleteSelectedFiles() {
    const std::vector<std::string> names = m_selection.names();
    bool all = false;
    if (names.size() >= 2)
        all = m_dialogs.MessageBox("Do you want to delete all the selected files?", AppTitle,
                                   MessageButtons::YesNo, MessageIcon::Critical) == DialogAnswer::Yes;
    const std::string folder = AppendPathSeparator(m_browser.folderPath());
    bool permanentAgreed = false;
    for (const auto& name : names) {
        if (!all && m_dialogs.MessageBox("Are you sure you want to delete " + name, AppTitle,
                                         MessageButtons::YesNo,
                                         MessageIcon::Critical) != DialogAnswer::Yes) {
            Say(" Delete cancelled");
            return;
        }
        if (!Delete(folder + name, false, permanentAgreed)) return;
        if (m_thumbnails) m_thumbnails->Removed(folder + name);
    }
    if (!names.empty()) m_browser.RefreshFolder();
}

void FileCommands::StartRename() {
    const std::string name = CurrentName();
    if (!name.empty() && !m_rename.isOpen()) m_rename.CaptionDoubleClick(name);
}

// --- folders ---------------------------------------------------------------------------

void FileCommands::NewFolder() {
    const std::string parent = m_browser.folderPath();
    const auto name = m_dialogs.InputText("New folder name:", "Create New Folder");
    if (!name || name->empty()) {
        Say(" Create new folder cancelled");
        return;
    }
    if (auto failure = m_files.CreateFolder(parent, *name)) {
        Fail(*failure);
        return;
    }
    Say(AppendPathSeparator(parent) + *name + " folder created");
    m_browser.RefreshFolderList();
}

void FileCommands::MoveFolder() {
    const std::string folder = m_browser.folderPath();
    const auto destination = m_dialogs.ChooseFolder("Move to...", folder);
    if (!destination || destination->empty()) {
        Say(" Move cancelled ");
        return;
    }
    const auto failure = m_files.MoveFolder(folder, *destination, [this](auto done, auto total) {
        ShowProgress(done, total);
    });
    EndProgress();
    if (failure) {
        Fail(*failure);
        return;
    }
    Say(folder + " moved to " + *destination);
    m_pump.processPendingEvents();
    // The folder is gone from here: the list shows where it was.
    if (const auto parent = FileSystem::ParentFolder(folder)) m_browser.setFolderPath(*parent);
    m_browser.RefreshFolder();
}

void FileCommands::CopyFolder() {
    const std::string folder = m_browser.folderPath();
    const auto destination = m_dialogs.ChooseFolder("Copy to...", folder);
    if (!destination || destination->empty()) {
        Say(" Copy cancelled ");
        return;
    }
    Say(" Copying folder...");
    const auto failure = m_files.CopyFolder(folder, *destination, [this](auto done, auto total) {
        ShowProgress(done, total);
    });
    EndProgress();
    if (failure) {
        Fail(*failure);
        return;
    }
    Say(folder + " copied  to " + *destination);
}

void FileCommands::DeleteFolder() {
    const std::string folder = m_browser.folderPath();
    if (m_dialogs.MessageBox("Are you sure you want to delete " + folder, "Delete Folder",
                             MessageButtons::YesNo, MessageIcon::Warning) != DialogAnswer::Yes) {
        Say(" Delete cancelled ");
        return;
    }
    bool permanentAgreed = false;
    if (!Delete(folder, true, permanentAgreed)) return;
    Say(" folder deleted.");
    m_pump.processPendingEvents();
    if (const auto parent = FileSystem::ParentFolder(folder)) m_browser.setFolderPath(*parent);
    m_browser.RefreshFolder();
}

void FileCommands::RenameFolder() {
    const std::string folder = m_browser.folderPath();
    const auto parent = FileSystem::ParentFolder(folder);
    const auto name = m_dialogs.InputText("Rename folder to:", "Rename Folder");
    if (!name || name->empty()) {
        Say(" Rename cancelled ");
        return;
    }
    if (auto failure = m_files.RenameFolder(folder, *name)) {
        Fail(*failure);
        return;
    }
    const std::string parentPath = AppendPathSeparator(parent.value_or(""));
    Say(parentPath + " folder renamed.");
    // The pictures stay as they are shown, nothing is rebuilt; only the paths follow the
    // new name.
    m_browser.setSuppressFolderChange(1);
    m_browser.setFolderPath(parentPath + *name);
    m_browser.FolderRenamed(folder, parentPath + *name);
    m_browser.RefreshFolderList();
}

} // namespace vistrel::core
