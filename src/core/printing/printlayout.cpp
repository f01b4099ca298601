#include "core/printing/printlayout.h"

#include <algorithm>

namespace vistrel::core {

namespace {

using K = PrintControlKind;

// Laid out in 15-twip steps so every edge falls on a whole pixel at 96 DPI.
std::vector<PrintControl> BuildPrint() {
    constexpr Twips px = 15;
    return {
        {"fmePrintSettings", K::Frame, "Images to Print", "", {8 * px, 8 * px, 340 * px, 262 * px}},
        {"lstFiles", K::List, "", "fmePrintSettings", {10 * px, 24 * px, 150 * px, 198 * px}},
        {"picPreview", K::Preview, "", "fmePrintSettings", {170 * px, 24 * px, 160 * px, 198 * px}},
        {"imgPreview", K::Image, "", "picPreview", {0, 0, 0, 0}},
        {"lblFileName", K::Label, "", "picPreview", {4 * px, 172 * px, 152 * px, 20 * px}},
        {"chkName", K::Check, "Print file name.", "fmePrintSettings",
         {10 * px, 230 * px, 320 * px, 22 * px}},
        {"Frame1", K::Frame, "Print Settings", "", {356 * px, 8 * px, 164 * px, 216 * px}},
        {"lblPrinter", K::Label, "Printer:", "Frame1", {10 * px, 24 * px, 144 * px, 18 * px}},
        {"cmbPrinters", K::Combo, "", "Frame1", {10 * px, 44 * px, 144 * px, 26 * px}},
        {"lblQuality", K::Label, "Quality:", "Frame1", {10 * px, 80 * px, 144 * px, 18 * px}},
        {"cmbQuality", K::Combo, "", "Frame1", {10 * px, 100 * px, 144 * px, 26 * px}},
        {"lblCopies", K::Label, "Copies:", "Frame1", {10 * px, 140 * px, 144 * px, 18 * px}},
        {"txtCopies", K::Text, "1", "Frame1", {10 * px, 160 * px, 60 * px, 26 * px}},
        {"scbCopies", K::ScrollBar, "", "Frame1", {70 * px, 160 * px, 18 * px, 26 * px}},
        {"cmdPrint", K::Button, "Print", "", {356 * px, 240 * px, 78 * px, 28 * px}},
        {"cmdCancel", K::Button, "Cancel", "", {442 * px, 240 * px, 78 * px, 28 * px}},
    };
}

} // namespace

const std::vector<PrintControl>& PrintControls() {
    static const std::vector<PrintControl> controls = BuildPrint();
    return controls;
}

Box PrintControlBox(const std::string& name) {
    const auto& controls = PrintControls();
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [&](const PrintControl& c) { return c.name == name; });
    return found == controls.end() ? Box{} : found->box;
}

} // namespace vistrel::core
