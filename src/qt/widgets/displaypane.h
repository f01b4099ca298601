#pragma once

#include <cstdint>
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

private:
    core::Application& m_app;
    Act m_act;
    PictureSurface* m_picMain;
    std::vector<QWidget*> m_handles;
    std::uint64_t m_shownRevision = 0; // of the working picture, as the surface shows it
};

} // namespace vistrel::qt
