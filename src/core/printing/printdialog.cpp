#include "core/printing/printdialog.h"

#include <algorithm>
#include <cmath>

#include "core/app/apptitle.h"
#include "core/app/numbers.h"
#include "core/browser/folderbrowser.h"
#include "core/browser/selection.h"
#include "core/browser/thumbnailsheet.h"
#include "core/files/pathutil.h"
#include "core/platform/dialogs.h"
#include "core/platform/pictureloader.h"
#include "core/printing/pageplacer.h"
#include "core/printing/printlayout.h"
#include "core/viewer/currentimage.h"

namespace vistrel::core {

namespace {
// The preview sits this far above the centre, leaving room for the name below it.
constexpr Twips PreviewLift = 125;
constexpr int MediumQuality = 2;
} // namespace

PrintDialog::PrintDialog(const Selection& selection, const FolderBrowser& browser,
                         const ThumbnailSheet& sheet, const CurrentImage& current,
                         const PictureLoader& loader, Printers& printers, Dialogs& dialogs,
                         double twipsPerPixel, char decimalSeparator)
    : m_selection(selection), m_browser(browser), m_sheet(sheet), m_current(current),
      m_loader(loader), m_printers(printers), m_dialogs(dialogs), m_twipsPerPixel(twipsPerPixel),
      m_separator(decimalSeparator) {}

const std::vector<std::string>& PrintDialog::QualityItems() {
    static const std::vector<std::string> items{"Draft", "Low", "Medium", "High"};
    return items;
}

const std::vector<std::string>& PrintDialog::Files() const { return m_selection.names(); }

void PrintDialog::Open() {
    if (!m_created) Load();
    ChooseFile(0);
}

void PrintDialog::Load() {
    m_created = true;
    m_qualityIndex = MediumQuality;
    m_printerItems = m_printers.Names();
    const auto defaultPrinter =
        std::find(m_printerItems.begin(), m_printerItems.end(), m_printers.DefaultName());
    m_printerIndex = static_cast<int>(defaultPrinter - m_printerItems.begin());
    // Every desktop can write a PDF, with or without printers; without a default it is chosen.
    m_printerItems.emplace_back(PdfPrinterEntry);
    ++m_revision;
}

int PrintDialog::ChosenFile() const {
    const auto& files = Files();
    const auto found = std::find(files.begin(), files.end(), m_chosenName);
    return found == files.end() ? -1 : static_cast<int>(found - files.begin());
}

void PrintDialog::ChooseFile(int row) {
    const auto& files = Files();
    if (row < 0 || row >= static_cast<int>(files.size())) return;
    m_chosenName = files[static_cast<std::size_t>(row)];
    ShowPreview(m_chosenName);
    ++m_revision;
}

void PrintDialog::ShowPreview(const std::string& name) {
    const auto& files = m_browser.files();
    if (std::find(files.begin(), files.end(), name) == files.end()) return;
    const int cell = m_sheet.FindCell(name);
    // A file whose thumbnail is not built yet, or is broken, shows only its name.
    m_preview = cell >= 0 ? m_sheet.cell(cell).thumbnail : Image{};
    m_previewName = name;
    const Box area = PrintControlBox("picPreview");
    const Twips width = m_preview.width() * m_twipsPerPixel;
    const Twips height = m_preview.height() * m_twipsPerPixel;
    m_previewBox = {area.width / 2 - width / 2, area.height / 2 - height / 2 - PreviewLift, width,
                    height};
}

void PrintDialog::ChoosePrinter(int index) {
    if (index < 0 || index >= static_cast<int>(m_printerItems.size())) return;
    m_printerIndex = index;
    ++m_revision;
}

void PrintDialog::ChooseQuality(int index) {
    if (index < 0 || index >= static_cast<int>(QualityItems().size())) return;
    m_qualityIndex = index;
    ++m_revision;
}

void PrintDialog::SetCopiesText(std::string text) {
    m_copiesText = std::move(text);
    // The spinner goes on from a number typed into the box.
    if (const auto copies = Copies()) m_copiesScroll = *copies;
    ++m_revision;
}

void PrintDialog::ScrollCopies(int value) {
    m_copiesScroll = std::clamp(value, MinCopies, MaxCopies);
    m_copiesText = FormatNumber(m_copiesScroll, m_separator);
    ++m_revision;
}

void PrintDialog::SetPrintNames(bool checked) {
    m_printNames = checked;
    ++m_revision;
}

std::optional<int> PrintDialog::Copies() const {
    const auto number = ParseNumber(m_copiesText, m_separator);
    if (!number || *number != std::floor(*number) || *number < MinCopies || *number > MaxCopies)
        return std::nullopt;
    return static_cast<int>(*number);
}

void PrintDialog::Fail(const std::string& description) {
    m_dialogs.MessageBox(description, AppTitle, MessageButtons::OK, MessageIcon::Critical);
}

void PrintDialog::Print() {
    if (!m_created) return;
    const int quality = -1 - m_qualityIndex;
    const auto copies = Copies();
    if (!copies) {
        Fail("The number of copies must be a whole number from 1 to 99.");
        return;
    }
    if (!PrintsWorkingPicture() && Files().empty()) return;
    if (PrintsWorkingPicture() && m_current.IsReduced()) {
        m_dialogs.MessageBox(ReducedPictureMessage, AppTitle, MessageButtons::OK,
                             MessageIcon::Warning);
        return;
    }

    PrintTarget target{{}, {}, quality, *copies};
    if (m_printerIndex < 0 || m_printerIndex >= static_cast<int>(m_printerItems.size())) return;
    if (m_printerItems[static_cast<std::size_t>(m_printerIndex)] == PdfPrinterEntry) {
        const auto file = m_dialogs.SaveFileName("Print to PDF file", "PDF document (*.pdf)|*.pdf");
        if (!file) return;
        target.pdfFile = *file;
    } else {
        target.printer = m_printerItems[static_cast<std::size_t>(m_printerIndex)];
    }
    m_lastTarget = target;

    std::string error;
    const auto document = m_printers.Begin(target, error);
    if (!document) {
        Fail(error);
        return;
    }
    auto failure = PrintFiles(*document);
    if (!failure && !document->End()) failure = document->Error();
    if (failure) {
        // Nothing half-printed reaches the printer, and no truncated file is left.
        document->Abort();
        Fail(*failure);
    }
}

bool PrintDialog::PrintsWorkingPicture() const {
    // In a folder of one file that file is the picture on view: it prints with its edits.
    return m_browser.files().size() == 1 && m_current.PictureShown() &&
           !m_current.picload().isNull();
}

std::optional<std::string> PrintDialog::PrintFiles(PrintDocument& document) {
    const Extent page = document.PageSize();
    const Twips line = document.LineHeight();
    if (!(page.width > 0 && page.height > 0 && line > 0 && line <= page.height))
        return "The printer reports no room to print on its pages.";

    PagePlacer placer(page, line);
    int pageShown = 0;
    // A picture decoded reduced to fit in memory keeps its natural size on paper.
    const auto draw = [&](const Image& picture, const std::string& name, int naturalWidth,
                          int naturalHeight) -> std::optional<std::string> {
        const Extent natural{naturalWidth * m_twipsPerPixel, naturalHeight * m_twipsPerPixel};
        for (const PrintItem& item :
             placer.Place(natural, m_printNames ? std::optional(name) : std::nullopt)) {
            for (; pageShown < item.page; ++pageShown)
                if (!document.NewPage()) return document.Error();
            const bool drawn = item.kind == PrintItem::Kind::Picture
                                   ? document.DrawPicture(picture, item.box)
                                   : document.DrawLine(item.text, item.box.left, item.box.top);
            if (!drawn) return document.Error();
        }
        return std::nullopt;
    };

    if (PrintsWorkingPicture()) {
        const Image& shown = m_current.picload();
        return draw(shown, m_browser.files().front(), shown.width(), shown.height());
    }

    // Each file is read again, so what prints is what is saved.
    const std::vector<std::string> names = Files();
    const std::string folder = AppendPathSeparator(m_browser.folderPath());
    for (const std::string& name : names) {
        const LoadResult loaded = m_loader.load(folder + name);
        if (!loaded.ok()) return loaded.errorText;
        const bool reduced = loaded.reduction > 1;
        if (auto failure = draw(loaded.image, name,
                                reduced ? loaded.naturalWidth : loaded.image.width(),
                                reduced ? loaded.naturalHeight : loaded.image.height()))
            return failure;
    }
    return std::nullopt;
}

} // namespace vistrel::core
