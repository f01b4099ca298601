#pragma once

#include <functional>
#include <string>

#include "core/editing/filters.h"
#include "core/editing/image.h"

namespace vistrel::core {

class Clock;
class Dialogs;
class EventPump;
struct MainWindowModel;

// The largest width and height an edit accepts, in pixels.
inline constexpr int MaxEditSide = 1500;

// "Processed in " + seconds as "##.000" (no zero before the separator) + " seconds.".
std::string FormatEditTime(double seconds, char decimalSeparator = '.');

// How far a loop's rows move the progress bar: the filters fill its second half, after the
// read; colour replacement runs it from 0 again.
enum class RowProgress { SecondHalf, Whole };

// Whether EndPixelEdit reports the time taken in status panel 3. Colour replacement leaves the
// panel's text as it was.
enum class EditReport { Timed, Silent };

// The frame around every pixel edit: the busy guard and the size limit, the snapshot the
// filter reads (ImagePixels), the surface it writes (OutputSurface), and the copy-back with
// the timing message. One instance lives as long as the window, so the buffers are allocated
// by the first edit and reused by the next ones.
class PixelEdit {
public:
    // `refreshCopies` runs after the copy-back: it stands for RefreshImageCopies and ApplyZoom.
    PixelEdit(MainWindowModel& model, Dialogs& dialogs, Clock& clock, EventPump& pump,
              char decimalSeparator = '.', std::function<void()> refreshCopies = {});

    // True when `picture` is in ImagePixels and the OutputSurface is ready. False, with nothing
    // changed, while busy (progress above 0) or when no picture is shown; false after the
    // "too large" message when a side exceeds MaxEditSide (PixelWidth and PixelHeight are
    // then 0). `picture` must outlive the edit.
    bool BeginPixelEdit(Image& picture, bool pictureShown);

    // From the start of BeginPixelEdit to the end of EndPixelEdit.
    bool Running() const { return m_picture != nullptr; }

    const Image& ImagePixels() const { return m_snapshot; }
    Image& OutputSurface() { return m_output; }
    int PixelWidth() const { return m_width; }
    int PixelHeight() const { return m_height; }

    // Progress after row y of the filter's main loop: 50 to just under 100, or 0 to just
    // under 100 for the whole bar.
    void RowFinished(int y, RowProgress span = RowProgress::SecondHalf);
    core::RowDone progress(RowProgress span = RowProgress::SecondHalf) {
        return [this, span](int y) { RowFinished(y, span); };
    }

    // Copies the rectangle (clipped to the picture) from the OutputSurface into the picture,
    // refreshes the copies, shows the time taken unless told not to and ends the busy state.
    void EndPixelEdit(PixelRect rect, EditReport report = EditReport::Timed);

    // BeginPixelEdit, the filter's loop and EndPixelEdit with the filter's rectangle. Returns
    // whether the edit ran.
    bool Run(Filter filter, Image& picture, bool pictureShown);

private:
    void leaveBusy();

    MainWindowModel& m_model;
    Dialogs& m_dialogs;
    Clock& m_clock;
    EventPump& m_pump;
    char m_decimalSeparator;
    std::function<void()> m_refreshCopies;

    Image m_snapshot;
    Image m_output;
    Image* m_picture = nullptr;
    int m_width = 0;
    int m_height = 0;
    double m_startTime = 0;
};

} // namespace vistrel::core
