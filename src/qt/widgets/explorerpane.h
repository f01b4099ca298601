#pragma once

#include <cstdint>

#include <QWidget>

#include "core/app/application.h"
#include "core/platform/volumesource.h"
#include "qt/widgets/act.h"

class QComboBox;
class QListView;
class QTreeWidget;

namespace vistrel::qt {

class FileListModel;

// The explorer pane (picExplorer): the drive list, the folder tree and the file list. It
// shows the browser's state and passes clicks and keys to the application.
class ExplorerPane : public QWidget {
    Q_OBJECT
public:
    ExplorerPane(core::Application& app, const core::VolumeSource& volumes, Act act,
                 QWidget* parent);

    // Places the pane and its lists; refills them only when the browser changed.
    void render(double twipsPerPixel);
    QListView* fileList() const { return m_flbList; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refill();
    void refillFolders();

    core::Application& m_app;
    const core::VolumeSource& m_volumes;
    Act m_act;
    QComboBox* m_dlbList;
    QTreeWidget* m_drlList;
    QListView* m_flbList;
    FileListModel* m_files;
    std::uint64_t m_shownRevision = ~std::uint64_t{0};
    std::vector<core::FolderEntry> m_shownFolders;
    std::string m_shownDrive;
};

} // namespace vistrel::qt
