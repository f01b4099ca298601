#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <QFrame>

#include "core/app/application.h"
#include "qt/widgets/act.h"

namespace vistrel::qt {

class PictureSurface;

// The display pane (picDisplay): the picture surface picMain, which is the pane's viewport,
// and the eight resize handles around the picture.
class DisplayPane : public QFrame {
    Q_OBJECT
public:
    DisplayPane(core::Application& app, Act act, QWidget* parent);

    void render(double twipsPerPixel);
    PictureSurface* surface() const { return m_picMain; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a mouse event lies inside the handle box, in twips.
    std::pair<double, double> inHandle(int handle, QPointF posInSurface) const;

    core::Application& m_app;
    Act m_act;
    PictureSurface* m_picMain;
    std::vector<QWidget*> m_handles;
    std::uint64_t m_shownRevision = 0; // of the working picture, as the surface shows it
    // The handle a drag runs on. The handle hides during the drag, so the surface takes
    // the pointer until the release.
    int m_dragHandle = -1;
};

} // namespace vistrel::qt
