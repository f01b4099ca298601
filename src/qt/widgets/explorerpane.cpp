#include "qt/widgets/explorerpane.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QStyle>
#include <QTreeWidget>

#include "qt/platform/keyconvert.h"
#include "qt/platform/pathtext.h"
#include "qt/platform/twips.h"
#include "qt/widgets/filelistmodel.h"

namespace vistrel::qt {

ExplorerPane::ExplorerPane(core::Application& app, const core::VolumeSource& volumes, Act act,
                           QWidget* parent)
    : QWidget(parent), m_app(app), m_volumes(volumes), m_act(std::move(act)),
      m_dlbList(new QComboBox(this)), m_drlList(new QTreeWidget(this)),
      m_flbList(new QListView(this)), m_files(new FileListModel(this)) {
    setObjectName("picExplorer");
    m_dlbList->setObjectName("dlbList");
    m_drlList->setObjectName("drlList");
    m_drlList->setHeaderHidden(true);
    m_drlList->setIndentation(12);
    m_drlList->setRootIsDecorated(false);
    m_drlList->setContextMenuPolicy(Qt::PreventContextMenu);
    m_flbList->setObjectName("flbList");
    m_flbList->setUniformItemSizes(true);
    m_flbList->setModel(m_files);
    m_flbList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_flbList->setContextMenuPolicy(Qt::PreventContextMenu);
    for (QObject* o : {static_cast<QObject*>(m_flbList), static_cast<QObject*>(m_flbList->viewport()),
                       static_cast<QObject*>(m_drlList->viewport())})
        o->installEventFilter(this);

    connect(m_flbList, &QListView::clicked, this, [this](const QModelIndex& index) {
        const int row = index.row();
        m_act([&] { m_app.FileListClicked(row); });
    });
    connect(m_drlList, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const std::string path = item->data(0, Qt::UserRole).toByteArray().toStdString();
        m_act([&] { m_app.FolderActivated(path); });
    });
    connect(m_dlbList, &QComboBox::activated, this, [this](int index) {
        const std::string root = m_dlbList->itemData(index).toByteArray().toStdString();
        m_act([&] { m_app.DriveChosen(root); });
    });
}

bool ExplorerPane::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == m_flbList && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        const core::Key key = ToKey(keyEvent->key());
        if (type == QEvent::KeyPress) {
            if (keyEvent->isAutoRepeat() && key == core::Key::Shift) return true;
            m_act([&] { m_app.FileListKey(key, true); });
            // The arrows zoom and step through pictures here; the list must not move.
            return core::CommandForKey(core::KeyTarget::FileList, key) != core::Command::None;
        }
        m_act([&] { m_app.FileListKey(key, false); });
        return false;
    }
    if (type == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        if (watched == m_flbList->viewport()) {
            m_act([&] { m_app.FileListRightClick(); });
            return true;
        }
        if (watched == m_drlList->viewport()) {
            m_act([&] { m_app.FolderListRightClick(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ExplorerPane::render(double tpp) {
    const auto& m = m_app.Model();
    setGeometry(ToPixelRect(m.picExplorer, tpp));
    setVisible(m.picExplorer.visible);
    m_dlbList->setGeometry(ToPixelRect(m.dlbList, tpp));
    m_drlList->setGeometry(ToPixelRect(m.drlList, tpp));
    m_flbList->setGeometry(ToPixelRect(m.flbList, tpp));
    if (m_app.Browser().revision() != m_shownRevision) {
        m_shownRevision = m_app.Browser().revision();
        refill();
    }
}

void ExplorerPane::refill() {
    const auto& browser = m_app.Browser();

    m_files->setFiles(browser.sharedFiles());
    const int position = browser.fileListPosition();
    if (position >= 0 && position < m_files->rowCount() &&
        m_flbList->currentIndex().row() != position)
        m_flbList->setCurrentIndex(m_files->index(position));

    if (browser.folders() != m_shownFolders) {
        m_shownFolders = browser.folders();
        refillFolders();
    }

    // The drive list shows every mounted volume; the current one is selected.
    if (browser.drive() != m_shownDrive || m_dlbList->count() == 0) {
        m_shownDrive = browser.drive();
        m_dlbList->clear();
        for (const auto& v : m_volumes.volumes()) {
            m_dlbList->addItem(PathText(v.displayName), PathBytes(v.rootPath));
            if (v.rootPath == m_shownDrive) m_dlbList->setCurrentIndex(m_dlbList->count() - 1);
        }
    }
}

void ExplorerPane::refillFolders() {
    m_drlList->clear();
    std::vector<QTreeWidgetItem*> chain;
    QTreeWidgetItem* currentItem = nullptr;
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (const auto& entry : m_shownFolders) {
        chain.resize(static_cast<std::size_t>(entry.depth));
        QTreeWidgetItem* item = chain.empty() ? new QTreeWidgetItem(m_drlList)
                                              : new QTreeWidgetItem(chain.back());
        item->setText(0, PathText(entry.name));
        item->setData(0, Qt::UserRole, PathBytes(entry.path));
        item->setToolTip(0, PathText(entry.path));
        // The chain down to the open folder shows open folders; its subfolders closed ones.
        item->setIcon(0, !currentItem || entry.current ? open : closed);
        if (entry.current) currentItem = item;
        chain.push_back(item);
    }
    m_drlList->expandAll();
    if (currentItem) {
        m_drlList->setCurrentItem(currentItem);
        m_drlList->scrollToItem(currentItem);
    }
}

} // namespace vistrel::qt
