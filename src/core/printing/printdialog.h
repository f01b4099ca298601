#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/geometry.h"
#include "core/editing/image.h"
#include "core/platform/printers.h"

namespace vistrel::core {

class CurrentImage;
class Dialogs;
class FolderBrowser;
class PictureLoader;
class Selection;
class ThumbnailSheet;

// The entry beside the installed printers that writes a PDF file instead.
inline constexpr const char* PdfPrinterEntry = "Print to PDF file\u2026";
// Copies one Print may ask for.
inline constexpr int MinCopies = 1;
inline constexpr int MaxCopies = 99;

// The Print dialog: the selected files (lstFiles shows the grid's selection), the preview of
// the chosen one, the printer, quality and copies, and the printing itself. It is created by
// the first Open and only hidden afterwards, so its choices last for the program's run.
class PrintDialog {
public:
    PrintDialog(const Selection& selection, const FolderBrowser& browser,
                const ThumbnailSheet& sheet, const CurrentImage& current,
                const PictureLoader& loader, Printers& printers, Dialogs& dialogs,
                double twipsPerPixel, char decimalSeparator = '.');

    // The Print command with something selected: creates the dialog on first use and makes
    // the first file the chosen one.
    void Open();
    bool Created() const { return m_created; }

    // --- what the window shows ----------------------------------------------------------
    const std::vector<std::string>& Files() const;
    // lstFiles' chosen row; -1 for none.
    int ChosenFile() const;
    // imgPreview's picture (null when the file has no thumbnail) and its place in picPreview.
    const Image& PreviewPicture() const { return m_preview; }
    const Box& PreviewBox() const { return m_previewBox; }
    const std::string& PreviewName() const { return m_previewName; }
    // cmbPrinters' items: the installed printers, then the PDF entry.
    const std::vector<std::string>& PrinterItems() const { return m_printerItems; }
    int PrinterIndex() const { return m_printerIndex; }
    static const std::vector<std::string>& QualityItems();
    int QualityIndex() const { return m_qualityIndex; }
    const std::string& CopiesText() const { return m_copiesText; }
    int CopiesScroll() const { return m_copiesScroll; }
    bool PrintNames() const { return m_printNames; }
    // Counts changes, so the window re-renders only after one.
    std::uint64_t Revision() const { return m_revision; }

    // --- events of its controls ---------------------------------------------------------
    // lstFiles: shows that file's thumbnail and name in the preview.
    void ChooseFile(int row);
    void ChoosePrinter(int index);
    void ChooseQuality(int index);
    void SetCopiesText(std::string text);
    void ScrollCopies(int value);
    void SetPrintNames(bool checked);
    // Prints every file of the list into one document; a failure says why in a message box
    // and drops the document. The dialog stays open.
    void Print();

    // What the last Print started: printer or file, quality and copies.
    const std::optional<PrintTarget>& LastTarget() const { return m_lastTarget; }

private:
    void Load();
    void ShowPreview(const std::string& name);
    void Fail(const std::string& description);
    // The whole number of copies in txtCopies; nothing when it is not one from 1 to 99.
    std::optional<int> Copies() const;
    bool PrintsWorkingPicture() const;
    std::optional<std::string> PrintFiles(PrintDocument& document);

    const Selection& m_selection;
    const FolderBrowser& m_browser;
    const ThumbnailSheet& m_sheet;
    const CurrentImage& m_current;
    const PictureLoader& m_loader;
    Printers& m_printers;
    Dialogs& m_dialogs;
    double m_twipsPerPixel;
    char m_separator;

    bool m_created = false;
    std::string m_chosenName;
    Image m_preview;
    Box m_previewBox;
    std::string m_previewName;
    std::vector<std::string> m_printerItems;
    int m_printerIndex = -1;
    int m_qualityIndex = 2;
    std::string m_copiesText = "1";
    int m_copiesScroll = 1;
    bool m_printNames = false;
    std::optional<PrintTarget> m_lastTarget;
    std::uint64_t m_revision = 0;
};

} // namespace vistrel::core
