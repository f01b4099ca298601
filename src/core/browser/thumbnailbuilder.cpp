#include "core/browser/thumbnailbuilder.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "core/app/fitinside.h"
#include "core/app/numbers.h"
#include "core/viewer/pictureloadrules.h"

namespace vistrel::core {

namespace {

constexpr int kMaxScroll = 32000;        // the scroll bar's range is 16-bit
constexpr double kRepaintInterval = 0.04; // about 25 frames a second while building

LoadResult Failed(LoadError error, std::string text = {}) {
    LoadResult result;
    result.error = error;
    result.errorText = std::move(text);
    return result;
}

// Decodes files 0..count-1 on worker threads and hands the results out strictly in index
// order. Workers run at most `window` files ahead of the last result taken, so memory stays
// flat however long the list. The destructor stops and joins every worker.
class OrderedDecoder {
public:
    using Decode = std::function<LoadResult(int)>;

    OrderedDecoder(int count, int threads, int window, Decode decode)
        : m_count(count), m_window(std::max(window, 1)), m_decode(std::move(decode)),
          m_slots(static_cast<std::size_t>(m_window)) {
        // Reserved first: a failed reallocation after a thread started would leave it unjoined.
        m_workers.reserve(static_cast<std::size_t>(std::max(threads, 0)));
        for (int t = 0; t < threads; ++t) {
            try {
                m_workers.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break; // fewer threads, or none: take() then decodes on the caller's thread
            }
        }
    }

    ~OrderedDecoder() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_canStart.notify_all();
        for (auto& worker : m_workers) {
            try {
                worker.join();
            } catch (const std::system_error&) {
            }
        }
    }

    OrderedDecoder(const OrderedDecoder&) = delete;
    OrderedDecoder& operator=(const OrderedDecoder&) = delete;

    // The result for index; must be called for 0, 1, 2, ... in turn.
    LoadResult take(int index) {
        if (m_workers.empty()) return DecodeSafely(index);
        std::unique_lock lock(m_mutex);
        auto& slot = m_slots[Slot(index)];
        m_ready.wait(lock, [&] { return slot.has_value(); });
        LoadResult result = std::move(*slot);
        slot.reset();
        m_taken = index + 1;
        lock.unlock();
        m_canStart.notify_all();
        return result;
    }

private:
    std::size_t Slot(int index) const { return static_cast<std::size_t>(index % m_window); }

    void Work() {
        for (;;) {
            int index = 0;
            {
                std::unique_lock lock(m_mutex);
                m_canStart.wait(lock, [&] {
                    return m_stop || m_next >= m_count || m_next < m_taken + m_window;
                });
                if (m_stop || m_next >= m_count) return;
                index = m_next++;
            }
            LoadResult result = DecodeSafely(index);
            {
                std::lock_guard lock(m_mutex);
                // Free: the index window ago was taken before this index could start.
                m_slots[Slot(index)] = std::move(result);
            }
            m_ready.notify_all();
        }
    }

    // Nothing may escape a worker; whatever the decoder lets through is one more failed file.
    LoadResult DecodeSafely(int index) const {
        try {
            return m_decode(index);
        } catch (...) {
            return Failed(LoadError::Unreadable);
        }
    }

    const int m_count;
    const int m_window;
    const Decode m_decode;
    std::mutex m_mutex;
    std::condition_variable m_canStart;
    std::condition_variable m_ready;
    std::vector<std::optional<LoadResult>> m_slots;
    int m_next = 0;
    int m_taken = 0;
    bool m_stop = false;
    std::vector<std::thread> m_workers;
};

// Leaves the window idle (progress 0, normal pointer) if the build is left by an exception,
// so the busy flag cannot block every later refresh.
class BusyScope {
public:
    explicit BusyScope(MainWindowModel& model) : m_model(model) { m_model.cursor = Cursor::Busy; }
    ~BusyScope() {
        if (m_active) {
            m_model.status.progress = 0;
            m_model.cursor = Cursor::Default;
        }
    }
    void finish() { m_active = false; }

private:
    MainWindowModel& m_model;
    bool m_active = true;
};

int PixelsFor(Twips twips, double twipsPerPixel) {
    return std::max(1, static_cast<int>(std::ceil(twips / twipsPerPixel)));
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
                                   Clock& clock, EventPump& pump, ThumbnailBuilderHooks& hooks,
                                   double twipsPerPixel, int decodeThreads)
    : m_model(model), m_sheet(sheet), m_browser(browser), m_loader(loader), m_clock(clock),
      m_pump(pump), m_hooks(hooks), m_twipsPerPixel(twipsPerPixel),
      m_threads(decodeThreads > 0
                    ? decodeThreads
                    : std::max(1, static_cast<int>(std::thread::hardware_concurrency()))) {}

void ThumbnailBuilder::ClearThumbnails() {
    m_sheet.Clear();
    m_hooks.clearPictureSurfaces();
    m_hooks.hideResizeHandles();
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
    m_hooks.setCurrentFileIndex(0);
    m_firstError.clear();

    const int last = m_browser.LastImageIndex();
    const int count = std::max(last + 1, 0);
    m_sheet.StartCells(count);
    m.picBack.width = m.vScroll.left;
    BusyScope busy(m);

    // Paths are fixed before the workers start; they read nothing else of the browser.
    std::vector<std::string> paths(static_cast<std::size_t>(count));
    std::vector<std::string> names(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        paths[static_cast<std::size_t>(i)] = m_browser.filePath(i);
        if (i < static_cast<int>(m_browser.files().size()))
            names[static_cast<std::size_t>(i)] = m_browser.files()[static_cast<std::size_t>(i)];
    }

    const double tpp = m_twipsPerPixel > 0 ? m_twipsPerPixel : 15.0;
    const Twips boxWidth = m.imgTemp.width;
    const Twips boxHeight = m.imgTemp.height;
    const int boxPixelsWide = PixelsFor(boxWidth, tpp);
    const int boxPixelsHigh = PixelsFor(boxHeight, tpp);
    const Twips cellWidth = m.picCase0.width;
    const Twips cellHeight = m.picCase0.height;

    {
        OrderedDecoder decoder(count, std::min(m_threads, count), lookAhead(), [&](int i) {
            const std::string& path = paths[static_cast<std::size_t>(i)];
            try {
                return m_loader.loadScaled(path, boxPixelsWide, boxPixelsHigh);
            } catch (const std::bad_alloc&) {
                return Failed(LoadError::OutOfMemory);
            } catch (const std::exception& e) {
                return Failed(LoadError::Unreadable,
                              std::filesystem::path(path).filename().string() + ": " + e.what());
            }
        });
        double lastRepaint = start;

        for (int i = 0; i < count; ++i) {
            if (i != last) {
                // Kept in single precision, and read back as such, as the bar holds it.
                const float progress = static_cast<float>(static_cast<double>(i) / count * 100);
                status.progress = progress;
                status.setText(StatusBarState::Status,
                               std::to_string(RoundHalfEven(static_cast<double>(progress) + 1)) +
                                   " %");
            } else {
                status.setText(StatusBarState::Status, "Done");
                status.progress = 0;
            }

            ThumbnailCell& cell = i == 0 ? m_sheet.cell(0) : m_sheet.AddCell();
            LoadResult result = decoder.take(i);

            cell.name = names[static_cast<std::size_t>(i)];
            cell.caption.left = cellWidth / 2 - cell.caption.width / 2;
            Extent extent;
            if (result.ok()) {
                extent = FitInside(result.naturalWidth * tpp, result.naturalHeight * tpp,
                                       boxWidth, boxHeight);
                cell.thumbnail = std::move(result.image);
                cell.broken = false;
            } else {
                // The file keeps its place in the grid, marked, and the build goes on.
                const Twips mark = std::min(boxWidth, boxHeight) / 2;
                extent = {mark, mark};
                cell.thumbnail = Image();
                cell.broken = true;
                if (result.errorText.empty()) // the description could not be made on the worker
                    result.errorText = DescribeLoadError(paths[static_cast<std::size_t>(i)],
                                                         result.error);
                std::string message = "Error: " + result.errorText;
                if (m_firstError.empty()) m_firstError = message;
                status.setText(StatusBarState::Status, std::move(message));
            }
            cell.image.width = extent.width;
            cell.image.height = extent.height;
            cell.image.top = (cellHeight - cell.caption.height) / 2 - extent.height / 2;
            cell.image.left = cellWidth / 2 - extent.width / 2;
            m_sheet.SetCellVisible(i, true);

            const double now = m_clock.elapsedSeconds();
            if (now - lastRepaint >= kRepaintInterval) {
                m_pump.repaint();
                lastRepaint = now;
            }
        }
    }

    m.picBack.height = m_sheet.lastCellBottom();
    m.vScroll.visible = m.picBack.height > m.picPreview.height;
    m.sheetScrollMax = m.picBack.height > kMaxScroll
                           ? kMaxScroll
                           : static_cast<int>(RoundHalfEven(m.picBack.height));
    m.vScrollState.maximum = m.sheetScrollMax;
    m.vScrollState.value = std::clamp(m.vScrollState.value, 0, m.vScrollState.maximum);
    m_sheet.VScroll_Change();
    m.cursor = Cursor::Default;
    busy.finish();

    m_buildTimeText = FormatBuildTime(m_clock.elapsedSeconds() - start);
    status.setText(StatusBarState::Status, m_buildTimeText);
    m_pump.repaint();
    // The build time has been shown; a failure must not be lost behind it.
    if (!m_firstError.empty()) status.setText(StatusBarState::Status, m_firstError);

    m_hooks.setImageCount(count);
    m_hooks.loadSelectedImage();
}

} // namespace vistrel::core
