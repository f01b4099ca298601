#include "core/editing/pixeledit.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "core/app/apptitle.h"
#include "core/app/mainwindowmodel.h"
#include "core/app/numbers.h"
#include "core/platform/clock.h"
#include "core/platform/dialogs.h"
#include "core/platform/eventpump.h"

namespace vistrel::core {

namespace {
constexpr const char* kTooLarge = "The Image is too large. Please try a smaller image.";
} // namespace

std::string FormatEditTime(double seconds, char decimalSeparator) {
    if (!(seconds > 0)) seconds = 0; // also NaN; a clock cannot run backwards here
    const std::int64_t ms = RoundHalfEven(seconds * 1000);
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%03d", static_cast<int>(ms % 1000));
    const std::int64_t whole = ms / 1000;
    return "Processed in " + (whole > 0 ? std::to_string(whole) : std::string()) +
           decimalSeparator + fraction + " seconds.";
}

PixelEdit::PixelEdit(MainWindowModel& model, Dialogs& dialogs, Clock& clock, EventPump& pump,
                     char decimalSeparator, std::function<void()> refreshCopies)
    : m_model(model), m_dialogs(dialogs), m_clock(clock), m_pump(pump),
      m_decimalSeparator(decimalSeparator), m_refreshCopies(std::move(refreshCopies)) {}

bool PixelEdit::BeginPixelEdit(Image& picture, bool pictureShown) {
    // m_picture is set from the start of an edit to its end: the event pump below may deliver
    // another edit command before the progress bar shows the first one.
    if (m_model.status.busy() || m_picture || !pictureShown || picture.isNull()) return false;
    m_width = picture.width();
    m_height = picture.height();
    if (m_width > MaxEditSide || m_height > MaxEditSide) {
        m_width = m_height = 0;
        m_dialogs.MessageBox(kTooLarge, AppTitle, MessageButtons::OK, MessageIcon::Critical);
        return false;
    }

    m_picture = &picture;
    m_startTime = m_clock.elapsedSeconds();
    try {
        m_pump.processPendingEvents();
        // The events may have loaded another picture: what is read from here on decides.
        if (picture.isNull() || picture.width() > MaxEditSide || picture.height() > MaxEditSide) {
            leaveBusy();
            m_width = m_height = 0;
            return false;
        }
        m_snapshot = picture; // both copies keep their storage from one edit to the next
        m_output = picture;
    } catch (const std::bad_alloc&) {
        leaveBusy();
        return false;
    } catch (...) {
        leaveBusy();
        throw;
    }
    m_width = picture.width();
    m_height = picture.height();
    // Where the row-by-row read would have left the bar.
    m_model.status.progress = static_cast<double>(m_height - 1) / m_height * 50;
    return true;
}

void PixelEdit::RowFinished(int y, RowProgress span) {
    if (m_height <= 0) return;
    const double share = static_cast<double>(y) / m_height;
    m_model.status.progress = span == RowProgress::Whole ? share * 100 : 50 + share * 50;
}

void PixelEdit::EndPixelEdit(PixelRect rect, EditReport report) {
    if (!m_picture) return;
    struct Finish {
        PixelEdit& edit;
        ~Finish() { edit.leaveBusy(); }
    } finish{*this};

    Image& picture = *m_picture;
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    // Widths are taken apart from the corner so a huge rectangle cannot overflow.
    const int right = static_cast<int>(std::min<long long>(
        static_cast<long long>(rect.left) + std::max(rect.width, 0), m_output.width()));
    const int bottom = static_cast<int>(std::min<long long>(
        static_cast<long long>(rect.top) + std::max(rect.height, 0), m_output.height()));
    const bool sameSize = picture.width() == m_output.width() && picture.height() == m_output.height();
    for (int y = top; sameSize && y < bottom; ++y)
        std::copy(m_output.row(y) + left, m_output.row(y) + std::max(left, right),
                  picture.row(y) + left);
    m_pump.repaint();

    if (m_refreshCopies) m_refreshCopies();
    if (report == EditReport::Timed)
        m_model.status.setText(StatusBarState::Status,
                               FormatEditTime(m_clock.elapsedSeconds() - m_startTime,
                                              m_decimalSeparator));
}

bool PixelEdit::Run(Filter filter, Image& picture, bool pictureShown) {
    if (!BeginPixelEdit(picture, pictureShown)) return false;
    ApplyFilter(filter, m_snapshot, m_output, m_clock, progress());
    EndPixelEdit(CopyBackRect(filter, m_width, m_height));
    return true;
}

void PixelEdit::leaveBusy() {
    m_model.status.progress = 0;
    m_picture = nullptr;
}

} // namespace vistrel::core
