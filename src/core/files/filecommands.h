#pragma once

#include <cstdint>
#include <string>

#include "core/browser/thumbnailcache.h"
#include "core/app/statusbar.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/renamebox.h"
#include "core/browser/selection.h"
#include "core/files/filesystem.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"
#include "core/viewer/currentimage.h"

namespace vistrel::core {

// The Edit menu's file commands on the selected pictures and the Folder menu's commands on
// the current folder. Every outcome goes to status panel 3; long copies and moves drive the
// progress bar, which is the busy flag, and keep the window painting.
class FileCommands {
public:
    FileCommands(FolderBrowser& browser, Selection& selection, CurrentImage& current,
                 RenameBox& rename, StatusBarState& status, Dialogs& dialogs, FileSystem& files,
                 EventPump& pump);

    // The shared thumbnail cache, whose entries follow the pictures moved and deleted.
    void FollowWith(ThumbnailCache* thumbnails) { m_thumbnails = thumbnails; }

    // --- pictures ------------------------------------------------------------------------
    // Ask for the destination, then copy or move.
    void CopyTo();
    void MoveTo();
    // An empty destination means the picker was cancelled.
    void CopySelectedFiles(const std::string& destination);
    void MoveSelectedFiles(const std::string& destination);
    void DeleteSelectedFiles();
    // Opens the rename box on the current picture's cell, unless one is open.
    void StartRename();

    // --- the current folder --------------------------------------------------------------
    void NewFolder();
    void MoveFolder();
    void CopyFolder();
    void DeleteFolder();
    void RenameFolder();

private:
    // Moves the progress bar to done/total (never to 0 while work runs) and repaints.
    void ShowProgress(std::uint64_t done, std::uint64_t total);
    void EndProgress() { m_status.progress = 0; }
    void Say(const std::string& text) { m_status.setText(StatusBarState::Status, text); }
    void Fail(const std::string& description) { Say(" Error: " + description); }
    std::string CurrentName() const;
    enum class Transfer { Copy, Move };
    void TransferSelected(Transfer kind, const std::string& destination);
    // Deletes one file or folder, asking before a permanent delete where there is no trash.
    // False (with the reason reported) when it was not deleted.
    bool Delete(const std::string& path, bool folder, bool& permanentAgreed);

    FolderBrowser& m_browser;
    Selection& m_selection;
    CurrentImage& m_current;
    RenameBox& m_rename;
    StatusBarState& m_status;
    Dialogs& m_dialogs;
    FileSystem& m_files;
    EventPump& m_pump;
    ThumbnailCache* m_thumbnails = nullptr;
};

} // namespace vistrel::core
