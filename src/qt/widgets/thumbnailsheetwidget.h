#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QColor>
#include <QWidget>

#include "core/app/geometry.h"
#include "core/app/keys.h"
#include "core/browser/renamebox.h"
#include "core/browser/thumbnailgrid.h"
#include "core/browser/thumbnailsheet.h"

class QLineEdit;

namespace vistrel::qt {

// The thumbnail sheet (picBack): one painted widget that draws the visible cells of a core
// ThumbnailSheet and reports mouse and key events by cell index and zone. It holds no rule
// of its own; the callbacks lead to core::ThumbnailGrid and core::RenameBox.
class ThumbnailSheetWidget : public QWidget {
    Q_OBJECT
public:
    explicit ThumbnailSheetWidget(QWidget* parent = nullptr);

    // The sheet to draw; it must stay alive while set. Lengths convert at twipsPerPixel.
    void setSheet(const core::ThumbnailSheet* sheet, double twipsPerPixel);
    void setThumbnailColour(const QColor& colour);

    // The cell and zone under a point of the widget.
    std::optional<core::CellHit> hitAt(const QPoint& point) const;

    // Shows the rename text box (objectName "txtName") at a box of the sheet while a rename
    // is open and hides it when the rename has closed. Showing fills it with text, selected,
    // and focuses it; a box the program closes drops what was typed and leaves the focus on
    // the sheet.
    void showRenameEditor(bool open, const core::Box& boxOnSheet, const QString& text);
    QLineEdit* renameEditor() const { return m_editor; }

    std::function<QColor(int index)> captionColour;
    // index is -1 for a release outside every cell.
    std::function<void(int index, core::CellZone zone, core::MouseButton button)> onPress;
    std::function<void(int index, core::CellZone zone, core::MouseButton button)> onRelease;
    // name: the file whose caption the first click of the double-click hit.
    std::function<void(const std::string& name)> onDoubleClickCaption;
    std::function<void(core::Key key)> onKeyDown;
    std::function<void(core::Key key)> onKeyUp;
    // A vertical wheel turn over the sheet, as core::ThumbnailGrid::Wheel takes it.
    std::function<void(int angleDelta, int linesPerNotch)> onWheel;
    // The rename box lost the focus holding this text; it is already hidden.
    std::function<void(const QString& text)> onRenameFocusLost;
    // Enter or Esc in the rename box; true when the key was taken.
    std::function<bool(core::Key key, const QString& text)> onRenameKey;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a press was, and the file and part of a cell under it as the cells stood before
    // the press moved the focus.
    struct Pressed {
        QPoint point;
        std::string name;
        core::CellZone zone = core::CellZone::Frame;
    };
    // Notes what lies under point, then takes the focus; the hit as the cells stand after.
    std::optional<core::CellHit> pressAt(QPoint point, Pressed& noted);

    const core::ThumbnailSheet* m_sheet = nullptr;
    double m_tpp = 15;
    QColor m_thumbnailColour;
    QLineEdit* m_editor = nullptr;
    bool m_closingEditor = false;
    Pressed m_pressed;
    std::optional<Pressed> m_clicked; // the last press released, until a double-click takes it
};

} // namespace vistrel::qt
