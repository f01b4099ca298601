#include "core/browser/folderbrowser.h"

#include <atomic>
#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>
#include <thread>

#include "core/app/numbers.h"
#include "core/browser/volumelookup.h"
#include "core/files/pathutil.h"

namespace vistrel::core {

FolderBrowser::FolderBrowser(const VolumeSource& volumes, StatusBarState& status,
                             const std::string& initialFolder, Links links)
    : m_volumes(volumes), m_status(status), m_links(links),
      m_path(NormaliseFolderPath(initialFolder)) {
    m_drive = driveRootOf(m_path);
    if (!m_path.empty()) m_driveFolders[m_drive] = m_path;
    // Read in place, once for both lists: nothing of the window may run before it is made.
    const PatternList pattern(m_pattern);
    FolderContents contents = m_path.empty() ? FolderContents{} : ReadFolder(m_path, &pattern);
    m_folders = FolderTree(m_drive, m_path, contents.folders);
    m_filesPath = m_path;
    // The address box shows where the lists are, even before the first folder change.
    m_addressText = m_path;
    setFiles(std::move(contents.files));
}

std::optional<FolderContents> FolderBrowser::read(const std::string& folder, bool withFiles) {
    const std::uint64_t ticket = ++m_reads;
    const PatternList pattern(m_pattern);
    if (!m_links.pump) return ReadFolder(folder, withFiles ? &pattern : nullptr);

    struct Reading {
        FolderContents contents;
        std::exception_ptr failure;
        std::atomic<bool> done{false};
    };
    const auto reading = std::make_shared<Reading>();
    EventPump& pump = *m_links.pump;
    std::thread worker([reading, folder, pattern, withFiles, &pump] {
        try {
            reading->contents = ReadFolder(folder, withFiles ? &pattern : nullptr);
        } catch (...) {
            reading->failure = std::current_exception();
        }
        reading->done = true;
        pump.wake();
    });
    // The worker is waited for however this is left: it reads the pump.
    const struct Joined {
        std::thread& worker;
        int& running;
        ~Joined() {
            worker.join();
            --running;
        }
    } joined{worker, ++m_readsRunning};
    // A turn even for a folder read at once, so that what it changes never waits on input.
    pump.waitForEvents(0, false);
    while (!reading->done) pump.waitForEvents(40, false);
    if (reading->failure) std::rethrow_exception(reading->failure);
    if (ticket != m_reads) return std::nullopt;
    return std::move(reading->contents);
}

std::string FolderBrowser::driveRootOf(const std::string& normalised) const {
    if (auto volume = FindVolume(m_volumes.volumes(), normalised)) {
        return NormaliseFolderPath(volume->rootPath);
    }
    return std::filesystem::path(normalised).root_path().string();
}

std::optional<std::string> FolderBrowser::folderProblem(const std::string& normalised,
                                                        const std::string& shown) const {
    if (normalised.empty()) return "No folder name given";
    // A missing medium is reported as such, even where its mount point still exists.
    if (auto volume = FindVolume(m_volumes.volumes(), normalised); volume && !volume->ready) {
        return volume->rootPath + ": Drive not ready";
    }
    return FolderProblem(normalised, shown);
}

std::optional<std::string> FolderBrowser::setFolderPath(const std::string& path) {
    const std::string normalised = NormaliseFolderPath(path);
    if (auto problem = folderProblem(normalised, path)) return problem;
    if (normalised == m_path) {
        ++m_reads; // the user went back to where the lists are: a reading under way is undone
        return std::nullopt;
    }
    // A swallowed change leaves the file list as it is, so its files are not read.
    auto contents = read(normalised, m_suppressFolderChange != 1);
    if (!contents) return std::nullopt; // another change took its place

    m_path = normalised;
    m_driveFolders[driveRootOf(m_path)] = m_path;
    m_folders = FolderTree(driveRootOf(m_path), m_path, contents->folders);
    ++m_revision;
    onFolderChanged(std::move(contents->files));
    return std::nullopt;
}

void FolderBrowser::onFolderChanged(std::vector<std::string> files) {
    if (m_suppressFolderChange == 1) {
        m_suppressFolderChange = 0;
        return;
    }
    m_filesPath = m_path;
    setFiles(std::move(files));
    m_addressText = m_path;
    m_addressHistory.push_back(m_path);
    ++m_revision;
    writeCount();
    if (m_links.grid) {
        m_links.grid->clearThumbnails();
        m_links.grid->buildThumbnails();
    }
}

std::optional<std::string> FolderBrowser::openFolder(const std::string& path) {
    if (auto failure = setFolderPath(path)) return failure;
    return setDrive(m_path);
}

std::optional<std::string> FolderBrowser::setDrive(const std::string& pathOrDrive) {
    if (pathOrDrive.empty()) return "No folder name given";
    const auto volume = FindVolume(m_volumes.volumes(), NormaliseFolderPath(pathOrDrive));
    if (!volume) return pathOrDrive + ": No such drive";
    const std::string root = NormaliseFolderPath(volume->rootPath);
    if (root == m_drive) return std::nullopt;
    m_drive = root;
    ++m_revision;
    onDriveChanged();
    return std::nullopt;
}

void FolderBrowser::chooseDrive(const std::string& root) {
    // Drive failures are told apart from the address box's by a leading blank.
    if (auto problem = setDrive(root)) m_status.setText(StatusBarState::Status, " Error: " + *problem);
}

void FolderBrowser::onDriveChanged() {
    if (ParseNumber(m_driveTag).value_or(0) != 1) {
        m_driveTag = "1";
        return;
    }
    // A drive opens at the folder last shown on it, as long as that folder is still there.
    std::string target = m_drive;
    if (auto it = m_driveFolders.find(m_drive); it != m_driveFolders.end()) {
        std::error_code ec;
        if (std::filesystem::is_directory(it->second, ec)) target = it->second;
    }
    if (auto problem = setFolderPath(target)) {
        m_status.setText(StatusBarState::Status, " Error: " + *problem);
    }
}

void FolderBrowser::addressEnter(const std::string& text) {
    m_driveTag = "0";
    const std::string driveBefore = m_drive;
    if (auto problem = setDrive(text)) {
        m_driveTag = "1";
        m_status.setText(StatusBarState::Status, "Error: " + *problem);
        return;
    }
    // Only a real drive change resets the tag; on the same drive none comes, and a stale
    // "0" would swallow the user's next drive choice.
    if (m_drive == driveBefore) m_driveTag = "1";
    if (auto problem = setFolderPath(text)) {
        m_status.setText(StatusBarState::Status, "Error: " + *problem);
    }
}

void FolderBrowser::setPattern(std::string pattern) {
    m_pattern = std::move(pattern);
    readFiles();
}

std::string FolderBrowser::filePath(int index) const {
    if (index < 0 || index >= static_cast<int>(m_files->size())) return {};
    return AppendPathSeparator(m_filesPath) + (*m_files)[static_cast<std::size_t>(index)];
}

bool FolderBrowser::chooseFileType(std::string_view itemName) {
    const FileTypeItem* item = FindFileType(itemName);
    if (!item || item->isSeparator()) return false;
    m_pattern = item->pattern;
    // An edit in progress holds the refresh; the file list still follows the type.
    const bool building = m_links.grid && m_links.grid->building();
    if (m_status.busy() && !building) readFiles();
    else RefreshFolder(); // reads the folder once, with the new type
    return true;
}

void FolderBrowser::RefreshFolder() {
    // A running build gives way to the new one; an edit in progress does not.
    const bool building = m_links.grid && m_links.grid->building();
    if (m_status.busy() && !building) return;
    if (!RefreshLists()) return;
    if (m_links.grid) {
        m_links.grid->clearThumbnails();
        m_links.grid->buildThumbnails();
    }
}

bool FolderBrowser::RefreshLists() {
    // The file list lags behind only after a swallowed change; then it is read on its own.
    const bool together = m_filesPath == m_path;
    auto contents = read(m_path, together);
    if (!contents) return false;
    std::vector<std::string> files = std::move(contents->files);
    if (!together && !m_filesPath.empty()) {
        auto own = read(m_filesPath, true);
        if (!own) return false;
        files = std::move(own->files);
    }
    m_folders = FolderTree(driveRootOf(m_path), m_path, contents->folders);
    ++m_revision;
    setFiles(std::move(files));
    writeCount();
    // The folder may have gone away under us; say so rather than show an unexplained empty list.
    if (auto problem = folderProblem(m_filesPath, m_filesPath)) {
        m_status.setText(StatusBarState::Status, "Error: " + *problem);
    }
    return true;
}

void FolderBrowser::RefreshFolderList() {
    auto contents = read(m_path, false);
    if (!contents) return;
    m_folders = FolderTree(driveRootOf(m_path), m_path, contents->folders);
    ++m_revision;
}

void FolderBrowser::FolderRenamed(const std::string& from, const std::string& to) {
    const std::string before = NormaliseFolderPath(from);
    const std::string after = NormaliseFolderPath(to);
    if (m_filesPath == before) m_filesPath = after;
    if (m_addressText == before) m_addressText = after;
    ++m_revision;
}

void FolderBrowser::readFiles() {
    setFiles(m_filesPath.empty() ? std::vector<std::string>{}
                                 : ListPictureFiles(m_filesPath, PatternList(m_pattern)));
}

void FolderBrowser::setFiles(std::vector<std::string> files) {
    ++m_revision;
    m_files = std::make_shared<const std::vector<std::string>>(std::move(files));
}

void FolderBrowser::writeCount() {
    const int count = static_cast<int>(m_files->size());
    m_lastImageIndex = count - 1;
    m_status.setText(StatusBarState::Images, "Images: " + std::to_string(count));
}

void FolderBrowser::fileListClick(int index) {
    if (index < 0 || index >= static_cast<int>(m_files->size())) return;
    if (m_links.loads) LoadClicked(*m_links.loads, index, m_shiftHeld == 1);
}

void FolderBrowser::fileListKeyDown(Key key) {
    if (key == Key::Shift) m_shiftHeld = 1;
    const Command command = CommandForKey(KeyTarget::FileList, key);
    if (command != Command::None && m_links.commands) m_links.commands->Run(command);
}

void FolderBrowser::fileListKeyUp(Key) {
    m_shiftHeld = 0;
}

} // namespace vistrel::core
