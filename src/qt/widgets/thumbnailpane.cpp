#include "qt/widgets/thumbnailpane.h"

#include <QScrollBar>

#include "qt/platform/colours.h"
#include "qt/platform/pathtext.h"
#include "qt/platform/twips.h"
#include "qt/widgets/thumbnailsheetwidget.h"

namespace vistrel::qt {

ThumbnailPane::ThumbnailPane(core::Application& app, double twipsPerPixel, Act act,
                             QWidget* parent)
    : QFrame(parent), m_app(app), m_tpp(twipsPerPixel), m_act(std::move(act)),
      m_picBack(new ThumbnailSheetWidget(this)), m_vScroll(new QScrollBar(Qt::Vertical, this)) {
    setObjectName("picPreview");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_vScroll->setObjectName("VScroll");
    const auto scrolled = [this](int value) {
        if (!m_rendering) m_act([&] { m_app.ScrollBarMoved(value); });
    };
    connect(m_vScroll, &QScrollBar::valueChanged, this, scrolled);
    connect(m_vScroll, &QScrollBar::sliderMoved, this, scrolled);

    m_picBack->setSheet(&app.Sheet(), m_tpp);
    m_picBack->captionColour = [this](int index) {
        return ToQColor(m_app.SelectedFiles().CaptionColour(m_app.Sheet().cell(index).name),
                        palette());
    };
    m_picBack->onPress = [this](int index, core::CellZone zone, core::MouseButton button) {
        m_act([&] { m_app.CellPress(index, zone, button); });
    };
    m_picBack->onRelease = [this](int index, core::CellZone zone, core::MouseButton button) {
        m_act([&] { m_app.CellRelease(index, zone, button); });
    };
    m_picBack->onKeyDown = [this](core::Key key) { m_act([&] { m_app.CellKey(key, true); }); };
    m_picBack->onKeyUp = [this](core::Key key) { m_act([&] { m_app.CellKey(key, false); }); };
    m_picBack->onWheel = [this](int delta, int lines) {
        m_act([&] { m_app.SheetWheel(delta, lines); });
    };
    m_picBack->onDoubleClickCaption = [this](const std::string& name) {
        m_act([&] { m_app.CaptionDoubleClicked(name); });
    };
    m_picBack->onRenameKey = [this](core::Key key, const QString& text) {
        bool taken = false;
        m_act([&] { taken = m_app.RenameBoxKey(key, text.toStdString()); });
        return taken;
    };
    m_picBack->onRenameFocusLost = [this](const QString& text) {
        m_act([&] { m_app.RenameBoxLeft(text.toStdString()); });
    };
}

void ThumbnailPane::render() {
    m_rendering = true;
    const auto& m = m_app.Model();
    const QColor colour = ToQColor(m.thumbnailColour, palette());
    setGeometry(ToPixelRect(m.picPreview, m_tpp));
    SetBackground(*this, colour);
    // Children of the bordered pane are placed inside the border.
    const int border = ToPixels(m.picPreview.border, m_tpp);
    m_picBack->setGeometry(ToPixelRect(m_app.Sheet().ShownBack(), m_tpp).translated(border, border));
    m_vScroll->setGeometry(ToPixelRect(m.vScroll, m_tpp).translated(border, border));
    m_vScroll->setVisible(m.vScroll.visible);
    m_vScroll->setMaximum(m.vScrollState.maximum);
    const core::ScrollSteps steps = m_app.GridSteps();
    m_vScroll->setSingleStep(steps.line);
    m_vScroll->setPageStep(steps.page);
    m_vScroll->setValue(m.vScrollState.value);

    const auto& rename = m_app.Rename();
    m_picBack->showRenameEditor(rename.isOpen(), rename.sheetBox(), PathText(rename.fileName()));

    if (m_app.Sheet().revision() != m_shownSheet ||
        m_app.SelectedFiles().revision() != m_shownSelection || colour != m_shownColour) {
        m_shownSheet = m_app.Sheet().revision();
        m_shownSelection = m_app.SelectedFiles().revision();
        m_shownColour = colour;
        m_picBack->setThumbnailColour(colour);
        m_picBack->update();
        ++m_sheetRepaints;
    }
    m_rendering = false;
}

} // namespace vistrel::qt
