#include "core/browser/thumbnailbuilder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <thread>
#include <utility>
#include <utility>
#include <vector>

#include "core/app/fitinside.h"
#include "core/app/numbers.h"
#include "core/browser/ordereddecoder.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

namespace {

constexpr double kRepaintInterval = 0.04; // about 25 frames a second while building

LoadResult Failed(LoadError error, std::string text = {}) {
    LoadResult result;
    result.error = error;
    result.errorText = std::move(text);
    return result;
}

// Leaves the window idle (progress 0) if the build is left by an exception, so the busy
// flag cannot block every later refresh.
class BusyScope {
public:
    explicit BusyScope(MainWindowModel& model) : m_model(model) {}
    ~BusyScope() {
        if (m_active) m_model.status.progress = 0;
    }
    void finish() { m_active = false; }

private:
    MainWindowModel& m_model;
    bool m_active = true;
};

int PixelsFor(Twips twips, double twipsPerPixel) {
    return std::max(1, static_cast<int>(std::ceil(twips / twipsPerPixel)));
}

std::vector<std::string> FilePaths(const FolderBrowser& browser, int count) {
    std::vector<std::string> paths(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        paths[static_cast<std::size_t>(i)] = browser.filePath(i);
    return paths;
}

std::vector<std::string> FileNames(const FolderBrowser& browser, int count) {
    std::vector<std::string> names(static_cast<std::size_t>(count));
    const std::vector<std::string>& files = browser.files();
    for (std::size_t i = 0; i < names.size() && i < files.size(); ++i)
        names[i] = files[i];
    return names;
}

// Runs on the decoder's workers: whatever the loader throws is a failed file.
LoadResult DecodeThumbnail(const PictureLoader& loader, const std::string& path, int maxWidth,
                           int maxHeight) {
    try {
        return loader.loadScaled(path, maxWidth, maxHeight);
    } catch (const std::bad_alloc&) {
        return Failed(LoadError::OutOfMemory);
    } catch (const std::exception& e) {
        return Failed(LoadError::Unreadable,
                      std::filesystem::path(path).filename().string() + ": " + e.what());
    }
}

// Before each file: its share of the build in panel 3 and the bar, or "Done" and an empty
// bar for the last.
void ShowProgress(StatusBarState& status, int index, int count, int last) {
    if (index != last) {
        // Kept in single precision, and read back as such, as the bar holds it.
        const float progress = static_cast<float>(static_cast<double>(index) / count * 100);
        status.progress = progress;
        status.setText(StatusBarState::Status,
                       std::to_string(RoundHalfEven(static_cast<double>(progress) + 1)) + " %");
    } else {
        status.setText(StatusBarState::Status, "Done");
        status.progress = 0;
    }
}

// "Error: " and the failure in panel 3; the build's first is kept to be shown at its end.
void ShowFailure(StatusBarState& status, std::string& firstError, const std::string& path,
                 const LoadResult& result) {
    std::string message = "Error: ";
    if (result.errorText.empty()) // the description could not be made on the worker
        message += DescribeLoadError(path, result.error);
    else
        message += result.errorText;
    if (firstError.empty()) firstError = message;
    status.setText(StatusBarState::Status, std::move(message));
}

} // namespace

std::string FormatBuildTime(double seconds) {
    if (!(seconds > 0)) seconds = 0; // also NaN
    const auto ms = static_cast<long long>(RoundHalfEven(seconds * 1000));
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%03lld", ms / 3600000,
                  ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return text;
}

ThumbnailBuilder::ThumbnailBuilder(MainWindowModel& model, ThumbnailSheet& sheet,
                                   const FolderBrowser& browser, const PictureLoader& loader,
                                   Clock& clock, EventPump& pump, PictureLoads* current,
                                   double twipsPerPixel, int decodeThreads)
    : m_model(model), m_sheet(sheet), m_browser(browser), m_loader(loader), m_clock(clock),
      m_pump(pump), m_current(current), m_twipsPerPixel(twipsPerPixel),
      m_threads(decodeThreads > 0
                    ? decodeThreads
                    : std::max(1, static_cast<int>(std::thread::hardware_concurrency()))) {}

void ThumbnailBuilder::ClearThumbnails() {
    m_sheet.Clear();
    if (m_current) m_current->clearPictureSurfaces();
}

void ThumbnailBuilder::BuildThumbnails() {
    MainWindowModel& m = m_model;
    StatusBarState& status = m.status;
    m_building = true;
    const struct Ended {
        bool& building;
        ~Ended() { building = false; }
    } ended{m_building};

    // The one point where the build yields; from here on no user input is taken.
    m_pump.processPendingEvents();

    m_buildStartTime = m_clock.now();
    const double start = m_clock.elapsedSeconds();
    if (m_current) m_current->setCurrentFileIndex(0);
    m_firstError.clear();

    const int last = m_browser.LastImageIndex();
    const int count = std::max(last + 1, 0);
    m_sheet.StartCells(count);
    m_sheet.BackToScrollBar();
    BusyScope busy(m);

    // Paths are fixed before the workers start; they read nothing else of the browser.
    const std::vector<std::string> paths = FilePaths(m_browser, count);
    std::vector<std::string> names = FileNames(m_browser, count);
    const double tpp = m_twipsPerPixel > 0 ? m_twipsPerPixel : 15.0;
    const int boxPixelsWide = PixelsFor(m.imgTemp.width, tpp);
    const int boxPixelsHigh = PixelsFor(m.imgTemp.height, tpp);

    {
        OrderedDecoder decoder(count, std::min(m_threads, count), lookAhead(), [&](int i) {
            return DecodeThumbnail(m_loader, paths[static_cast<std::size_t>(i)], boxPixelsWide,
                                   boxPixelsHigh);
        });
        double lastRepaint = start;

        for (int i = 0; i < count; ++i) {
            ShowProgress(status, i, count, last);
            LoadResult result = decoder.take(i);
            std::optional<Extent> pictureSize;
            if (result.ok())
                pictureSize = Extent{result.naturalWidth * tpp, result.naturalHeight * tpp};
            // A file that would not load keeps its place in the grid, marked, and the build
            // goes on.
            m_sheet.FillCell(i, std::move(names[static_cast<std::size_t>(i)]),
                             std::move(result.image), pictureSize);
            if (!result.ok())
                ShowFailure(status, m_firstError, paths[static_cast<std::size_t>(i)], result);

            const double now = m_clock.elapsedSeconds();
            if (now - lastRepaint >= kRepaintInterval) {
                m_pump.repaint();
                lastRepaint = now;
            }
        }
    }

    m_sheet.UpdateScrollRange();
    busy.finish();

    m_buildTimeText = FormatBuildTime(m_clock.elapsedSeconds() - start);
    status.setText(StatusBarState::Status, m_buildTimeText);
    m_pump.repaint();
    // The build time has been shown; a failure must not be lost behind it.
    if (!m_firstError.empty()) status.setText(StatusBarState::Status, m_firstError);

    if (m_current) {
        m_current->setImageCount(count);
        const auto& files = m_browser.files();
        const auto endOn = std::find(files.begin(), files.end(), std::exchange(m_endOn, {}));
        if (endOn != files.end() && endOn - files.begin() < count)
            m_current->setCurrentFileIndex(static_cast<int>(endOn - files.begin()));
        m_current->loadSelectedImage();
    }
}

} // namespace vistrel::core
