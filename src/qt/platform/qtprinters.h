#pragma once

#include "core/platform/printers.h"

namespace vistrel::qt {

// Printers as the desktop's print service lists them. Every document is first written to a
// PDF file: a PDF target gets it by renaming once it is complete, a printer gets it only
// then, so a job that fails half-way never reaches paper or replaces a file.
class QtPrinters : public core::Printers {
public:
    std::vector<std::string> Names() const override;
    std::string DefaultName() const override;
    std::unique_ptr<core::PrintDocument> Begin(const core::PrintTarget& target,
                                               std::string& error) override;

    // The resolution a quality code asks for: 150, 300, 600 or 1200 dpi, never above the
    // printer's highest (`highest` 0 = unknown).
    static int Resolution(int quality, int highest);
    // The resolution the last document was set up with.
    int lastResolution() const { return m_lastResolution; }

private:
    int m_lastResolution = 0;
};

} // namespace vistrel::qt
