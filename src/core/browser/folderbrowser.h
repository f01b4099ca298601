#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/commandsink.h"
#include "core/app/keys.h"
#include "core/app/statusbar.h"
#include "core/browser/browserhooks.h"
#include "core/browser/filetypes.h"
#include "core/browser/folderlisting.h"
#include "core/platform/eventpump.h"
#include "core/platform/volumesource.h"
#include "core/viewer/pictureloads.h"

namespace vistrel::core {

// What a folder browser's events lead to elsewhere. A browser without them only lists
// (the benchmarks use one so).
struct BrowserLinks {
    GridRebuilder* grid = nullptr;   // a folder change rebuilds the thumbnails
    PictureLoads* loads = nullptr;   // a click in the file list loads its picture
    CommandSink* commands = nullptr; // the file list's keys run commands
    EventPump* pump = nullptr;       // folders are read on a worker while the window runs
};

// The explorer pane's state: the drive list (dlbList), folder list (drlList), file list
// (flbList) and address box (txtAddress), kept in step with one current folder.
// Failures are reported as "<path>: <reason>" texts and never thrown; whatever failed
// leaves the state as it was.
//
// With a pump linked, a folder is read on a worker thread while the window takes input. A
// folder change or refresh from there takes the place of the one being read: the reading
// that was overtaken changes nothing.
class FolderBrowser {
public:
    // Starts in initialFolder with both lists read, without raising a folder change and
    // without touching the status bar (nothing is counted or built yet).
    using Links = BrowserLinks;
    FolderBrowser(const VolumeSource& volumes, StatusBarState& status,
                  const std::string& initialFolder, Links links = {});

    // --- folder list -------------------------------------------------------------------
    const std::string& folderPath() const { return m_path; }
    const std::vector<FolderEntry>& folders() const { return m_folders; }

    // Moves the folder list to path. The path is normalised (absolute, no trailing
    // separator); when it differs from the current one the folder list is re-read and the
    // folder change runs. Returns the failure (missing folder, not a folder, unreadable,
    // drive not ready) without reporting it anywhere; nothing changes then.
    std::optional<std::string> setFolderPath(const std::string& path);
    // Opens a folder the user chose: the folder list moves there, then the drive list
    // follows it. Returns the failure, reported nowhere; nothing changes then.
    std::optional<std::string> openFolder(const std::string& path);

    // --- drive list --------------------------------------------------------------------
    const std::string& drive() const { return m_drive; }

    // Moves the drive list to the volume holding pathOrDrive. When that is another volume
    // than the current one, the drive change runs (which reports its own failure in
    // panel 3). Fails only when no volume holds the path.
    std::optional<std::string> setDrive(const std::string& pathOrDrive);

    // The user picked a drive in the drive list; a failure is reported in panel 3.
    void chooseDrive(const std::string& root);

    // The drive list's tag: "1" lets a drive change move the folder list, "0" swallows the
    // next one.
    const std::string& driveListTag() const { return m_driveTag; }
    void setDriveListTag(std::string tag) { m_driveTag = std::move(tag); }

    // --- file list ---------------------------------------------------------------------
    const std::string& pattern() const { return m_pattern; }
    // Sets the pattern and re-reads the file list (no count, no rebuild).
    void setPattern(std::string pattern);
    // The folder the file list shows; lags behind folderPath() only after a swallowed change.
    const std::string& fileListPath() const { return m_filesPath; }
    const std::vector<std::string>& files() const { return *m_files; }
    // The same list, kept alive for whoever still reads it after the next listing.
    std::shared_ptr<const std::vector<std::string>> sharedFiles() const { return m_files; }
    // Folder and name of a file list entry joined; empty for a position outside the list.
    std::string filePath(int index) const;

    // View > File Type: sets that item's pattern, then RefreshFolder(). False (and nothing
    // done) for an unknown item or the separator.
    bool chooseFileType(std::string_view itemName);

    void fileListClick(int index);
    void fileListKeyDown(Key key);
    void fileListKeyUp(Key key);
    // The file list's current entry (the last picture loaded as the only selection); -1
    // for none.
    int fileListPosition() const { return m_fileListPosition; }
    void setFileListPosition(int index) {
        m_fileListPosition = index;
        ++m_revision;
    }

    // Counts changes of what the explorer pane shows, so it is redrawn only after one.
    std::uint64_t revision() const { return m_revision; }

    // --- address box -------------------------------------------------------------------
    // The current folder as the folder change last wrote it; typing does not change it.
    const std::string& addressText() const { return m_addressText; }
    // Every folder changed to, oldest first, duplicates kept.
    const std::vector<std::string>& addressHistory() const { return m_addressHistory; }
    // Enter in the address box: moves drive, folder list and file list to the typed path,
    // or writes "Error: " + the failure into panel 3.
    void addressEnter(const std::string& text);

    // --- refresh -----------------------------------------------------------------------
    // Re-reads the lists and rebuilds the thumbnails, in place of a build that runs; does
    // nothing while an edit runs.
    void RefreshFolder();
    // Re-reads both lists and writes the count to panel 1 and LastImageIndex. False (and
    // nothing changed) when another reading took its place.
    bool RefreshLists();
    // Re-reads the folder list only: the file list and the grid stay as they are.
    void RefreshFolderList();
    // The folder at `from` now has the path `to`. What shows its content keeps showing it
    // (nothing is re-read or rebuilt) but under the new path, so that loads and renames
    // from the grid find the files.
    void FolderRenamed(const std::string& from, const std::string& to);

    // A folder is being read (only with a pump linked).
    bool reading() const { return m_readsRunning > 0; }
    // The folder being read is dropped when read: the window is closing.
    void CancelReading() { ++m_reads; }

    // --- shared values -----------------------------------------------------------------
    // File list entries minus one; -1 for an empty folder or before anything was counted.
    int LastImageIndex() const { return m_lastImageIndex; }
    // 1 swallows the next folder change (Rename Folder sets it before moving the list).
    int SuppressFolderChange() const { return m_suppressFolderChange; }
    void setSuppressFolderChange(int value) { m_suppressFolderChange = value; }
    // 1 while Shift is down in the file list or the thumbnail grid.
    int ShiftHeld() const { return m_shiftHeld; }
    void setShiftHeld(int value) { m_shiftHeld = value; }

private:
    void onFolderChanged(std::vector<std::string> files);
    // The folder's subfolders and, when asked, its files; nothing when another reading (or
    // CancelReading) took its place meanwhile.
    std::optional<FolderContents> read(const std::string& folder, bool withFiles);
    void onDriveChanged();
    std::optional<std::string> folderProblem(const std::string& normalised,
                                             const std::string& shown) const;
    std::string driveRootOf(const std::string& normalised) const;
    void readFiles();
    void setFiles(std::vector<std::string> files);
    void writeCount();

    const VolumeSource& m_volumes;
    StatusBarState& m_status;
    Links m_links;

    std::string m_path;
    std::vector<FolderEntry> m_folders;
    std::string m_drive;
    std::string m_driveTag = "1";
    std::map<std::string, std::string> m_driveFolders; // last folder opened on each drive
    std::string m_pattern{AllPicturesPattern};
    std::string m_filesPath;
    std::shared_ptr<const std::vector<std::string>> m_files =
        std::make_shared<const std::vector<std::string>>();
    std::string m_addressText;
    std::vector<std::string> m_addressHistory;
    int m_lastImageIndex = -1;
    int m_suppressFolderChange = 0;
    int m_shiftHeld = 0;
    int m_fileListPosition = -1;
    std::uint64_t m_revision = 0;
    std::uint64_t m_reads = 0; // readings started, CancelReading() counted too
    int m_readsRunning = 0;
};

} // namespace vistrel::core
