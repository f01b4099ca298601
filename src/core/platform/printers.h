#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/app/fitinside.h"
#include "core/app/geometry.h"
#include "core/editing/image.h"

namespace vistrel::core {

// Where a document goes and how it is printed.
struct PrintTarget {
    std::string printer; // a device name from Printers::Names(); unused for a PDF file
    std::string pdfFile; // when set, a PDF file is written here instead
    int quality = -3;    // -1 draft, -2 low, -3 medium, -4 high
    int copies = 1;
};

// One document being printed. Positions are twips from the top-left of the printable area.
// A call that fails returns false and leaves its reason in Error(); the caller then aborts.
class PrintDocument {
public:
    virtual ~PrintDocument() = default;
    // The printable area of a page.
    virtual Extent PageSize() const = 0;
    // The height of one line of caption text.
    virtual Twips LineHeight() const = 0;
    virtual bool NewPage() = 0;
    virtual bool DrawPicture(const Image& picture, const Box& box) = 0;
    virtual bool DrawLine(const std::string& text, Twips left, Twips top) = 0;
    // Sends the document to the printer, or finishes the file.
    virtual bool End() = 0;
    // Drops the document: nothing reaches the printer, no file is left or changed.
    virtual void Abort() = 0;
    virtual std::string Error() const = 0;
};

// The installed printers, and documents on them.
class Printers {
public:
    virtual ~Printers() = default;
    // Device names in the platform's order.
    virtual std::vector<std::string> Names() const = 0;
    // The default printer's device name; empty when there is none.
    virtual std::string DefaultName() const = 0;
    // Starts a document; nullptr with the reason in `error` when it cannot be started.
    virtual std::unique_ptr<PrintDocument> Begin(const PrintTarget& target,
                                                 std::string& error) = 0;
};

} // namespace vistrel::core
