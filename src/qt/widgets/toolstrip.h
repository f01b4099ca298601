#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include "core/app/commands.h"
#include "core/browser/folderbrowser.h"

class QComboBox;
class QToolBar;

namespace vistrel::qt {

// The tool strip across the top of the main window: the standard toolbar, the tools
// toolbar and the address box as bands. Bands flow into a second row when one row is
// too narrow, which changes the strip's height.
class ToolStrip : public QWidget {
    Q_OBJECT
public:
    explicit ToolStrip(QWidget* parent = nullptr);

    QToolBar* standard() const { return m_standard; }
    QToolBar* tools() const { return m_tools; }
    QComboBox* address() const { return m_address; }

    // The toolbar buttons; a click runs `run` with the button's key.
    void addButtons(const std::vector<core::ToolButton>& table,
                    const std::function<void(const std::string& key)>& run);
    // The address box shows the current folder and the folders opened before.
    void renderAddress(const core::FolderBrowser& browser);
    // Enter in the address box, or a folder picked from its history.
    std::function<void(const std::string& text)> onAddressEntered;

    void setBandVisible(int band, bool visible);
    // Height the strip needs at the given width, in pixels.
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the bands; returns the height used.
    int arrange(int width, bool apply) const;

    QToolBar* m_standard;
    QToolBar* m_tools;
    QComboBox* m_address;
    std::vector<std::string> m_shownHistory;
    std::string m_shownAddress;
};

} // namespace vistrel::qt
