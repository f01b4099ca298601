#include "qt/platform/qtprinters.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRandomGenerator>

#ifdef VISTREL_HAVE_CUPS
#include <cups/cups.h>
#endif

#include "qt/platform/imageconvert.h"
#include "qt/platform/pathtext.h"

namespace vistrel::qt {

namespace {

// The type size of the caption lines, in points.
constexpr int CaptionPoints = 12;

#ifdef VISTREL_HAVE_CUPS
// The print service knows three qualities: draft 3, normal 4, high 5.
const char* IppQuality(int quality) {
    switch (quality) {
    case -1: case -2: return "3";
    case -4: return "5";
    default: return "4";
    }
}

std::string SendToPrinter(const core::PrintTarget& target, const QString& pdf) {
    cups_option_t* options = nullptr;
    int count = 0;
    count = cupsAddOption("copies", std::to_string(target.copies).c_str(), count, &options);
    count = cupsAddOption("print-quality", IppQuality(target.quality), count, &options);
    const int job = cupsPrintFile(target.printer.c_str(), QFile::encodeName(pdf).constData(),
                                  "Vistrel", count, options);
    cupsFreeOptions(count, options);
    if (job > 0) return {};
    return "The printer " + target.printer + " did not take the document: " +
           cupsLastErrorString();
}
#endif

class QtPrintDocument : public core::PrintDocument {
public:
    QtPrintDocument(const core::PrintTarget& target, const QPageLayout& layout, int resolution)
        : m_target(target), m_printer(QPrinter::HighResolution) {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_printer.setPageLayout(layout);
        m_printer.setResolution(resolution);
        m_printer.setCopyCount(target.copies);
        m_printer.setDocName("Vistrel");
        m_font.setPointSize(CaptionPoints);
    }

    ~QtPrintDocument() override { Abort(); }

    int resolution() const { return m_printer.resolution(); }

    // Opens the temporary file and the painter; the reason when that fails.
    std::string start() {
        // A PDF is built beside its target so the final rename stays on one file system.
        const QString folder = m_target.pdfFile.empty()
                                   ? QDir::tempPath()
                                   : QFileInfo(PathText(m_target.pdfFile)).absolutePath();
        // Created like any new file of the user's, so a PDF gets the usual permissions.
        for (int attempt = 0; m_temp.isEmpty(); ++attempt) {
            const QString name =
                folder + QString("/.vistrel-print-%1.pdf")
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
            QFile file(name);
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) m_temp = name;
            else if (!file.exists() || attempt == 100)
                return "Cannot write the document in " + folder.toStdString() + ": " +
                       file.errorString().toStdString();
        }
        m_printer.setOutputFileName(m_temp);
        if (!m_painter.begin(&m_printer)) return "The document cannot be started.";
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
        m_painter.setFont(m_font);
        return {};
    }

    core::Extent PageSize() const override {
        return {twips(m_printer.width(), m_printer.logicalDpiX()),
                twips(m_printer.height(), m_printer.logicalDpiY())};
    }
    core::Twips LineHeight() const override {
        const QFontMetricsF metrics(m_font, &m_printer);
        return twips(metrics.lineSpacing(), m_printer.logicalDpiY());
    }
    bool NewPage() override {
        if (!m_printer.newPage()) return fail("A new page cannot be started.");
        return healthy();
    }
    bool DrawPicture(const core::Image& picture, const core::Box& box) override {
        m_painter.drawImage(device(box), wrapImage(picture));
        return healthy();
    }
    bool DrawLine(const std::string& text, core::Twips left, core::Twips top) override {
        const QFontMetricsF metrics(m_font, &m_printer);
        const QRectF place = device({left, top, 0, 0});
        m_painter.drawText(QPointF(place.left(), place.top() + metrics.ascent()),
                           QString::fromStdString(text));
        return healthy();
    }
    bool End() override {
        if (!m_painter.end() || !healthy()) return fail("The document cannot be finished.");
        if (!m_target.pdfFile.empty()) {
            // A file that is replaced keeps who may read it.
            const QString target = PathText(m_target.pdfFile);
            if (QFile::exists(target)) QFile::setPermissions(m_temp, QFile::permissions(target));
            std::error_code error;
            std::filesystem::rename(QFile::encodeName(m_temp).toStdString(), m_target.pdfFile,
                                    error);
            if (error) return fail("Cannot write " + m_target.pdfFile + ": " + error.message());
            m_temp.clear();
            return true;
        }
#ifdef VISTREL_HAVE_CUPS
        if (const std::string failure = SendToPrinter(m_target, m_temp); !failure.empty())
            return fail(failure);
        return true;
#else
        return fail("This build cannot send documents to a printer; print to a PDF file.");
#endif
    }
    void Abort() override {
        // What was drawn so far only went into the temporary file, which goes with it.
        if (m_painter.isActive()) m_painter.end();
        if (!m_temp.isEmpty()) QFile::remove(m_temp);
        m_temp.clear();
    }
    std::string Error() const override { return m_error; }

private:
    static core::Twips twips(double pixels, int dpi) { return pixels * 1440.0 / dpi; }
    QRectF device(const core::Box& box) const {
        const double x = m_printer.logicalDpiX() / 1440.0, y = m_printer.logicalDpiY() / 1440.0;
        return {box.left * x, box.top * y, box.width * x, box.height * y};
    }
    bool healthy() {
        return m_printer.printerState() != QPrinter::Error ||
               fail("The document cannot be written: the disk may be full.");
    }
    bool fail(std::string reason) {
        m_error = std::move(reason);
        return false;
    }

    core::PrintTarget m_target;
    QPrinter m_printer;
    QPainter m_painter;
    QFont m_font;
    QString m_temp; // the document until it is complete
    std::string m_error;
};

} // namespace

std::vector<std::string> QtPrinters::Names() const {
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        names.push_back(name.toStdString());
    return names;
}

std::string QtPrinters::DefaultName() const {
    return QPrinterInfo::defaultPrinterName().toStdString();
}

int QtPrinters::Resolution(int quality, int highest) {
    const int wanted = quality == -1 ? 150 : quality == -2 ? 300 : quality == -4 ? 1200 : 600;
    return highest > 0 ? std::min(wanted, highest) : wanted;
}

std::unique_ptr<core::PrintDocument> QtPrinters::Begin(const core::PrintTarget& target,
                                                       std::string& error) {
    QPageLayout layout;
    int highest = 0;
    if (target.pdfFile.empty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(target.printer));
        if (info.isNull()) {
            error = "The printer " + target.printer + " is not installed any more.";
            return nullptr;
        }
        for (const int dpi : info.supportedResolutions()) highest = std::max(highest, dpi);
        // The printer's own paper and margins, without starting a job on it.
        QPrinter native(info, QPrinter::HighResolution);
        layout = native.pageLayout();
    } else {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        layout = pdf.pageLayout();
        layout.setUnits(QPageLayout::Inch);
        layout.setMargins(QMarginsF(0.5, 0.5, 0.5, 0.5));
    }
    auto document = std::make_unique<QtPrintDocument>(target, layout,
                                                      Resolution(target.quality, highest));
    m_lastResolution = document->resolution();
    error = document->start();
    if (!error.empty()) return nullptr;
    return document;
}

} // namespace vistrel::qt
