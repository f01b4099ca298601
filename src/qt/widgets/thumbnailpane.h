#pragma once

#include <cstdint>

#include <QFrame>

#include "core/app/application.h"
#include "qt/widgets/act.h"

class QScrollBar;

namespace vistrel::qt {

class ThumbnailSheetWidget;

// The thumbnail pane (picPreview): the painted sheet of cells (picBack) and its scroll bar
// (VScroll).
class ThumbnailPane : public QFrame {
    Q_OBJECT
public:
    ThumbnailPane(core::Application& app, double twipsPerPixel, Act act, QWidget* parent);

    // Places the sheet and the scroll bar; repaints the sheet only when what it shows changed.
    void render();
    ThumbnailSheetWidget* sheet() const { return m_picBack; }
    // How often the sheet was asked to repaint, for tests of the rendering.
    int sheetRepaints() const { return m_sheetRepaints; }

private:
    core::Application& m_app;
    double m_tpp;
    Act m_act;
    ThumbnailSheetWidget* m_picBack;
    QScrollBar* m_vScroll;
    bool m_rendering = false;
    std::uint64_t m_shownSheet = ~std::uint64_t{0};
    std::uint64_t m_shownSelection = ~std::uint64_t{0};
    QColor m_shownColour;
    int m_sheetRepaints = 0;
};

} // namespace vistrel::qt
