#include "qt/widgets/filelistmodel.h"

#include <algorithm>
#include <climits>

#include "qt/platform/pathtext.h"

namespace vistrel::qt {

FileListModel::FileListModel(QObject* parent)
    : QAbstractListModel(parent), m_files(std::make_shared<const std::vector<std::string>>()) {}

void FileListModel::setFiles(Files files) {
    if (!files) files = std::make_shared<const std::vector<std::string>>();
    if (files == m_files) return;
    if (*files == *m_files) {
        m_files = std::move(files);
        return;
    }
    beginResetModel();
    m_files = std::move(files);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(std::min<std::size_t>(m_files->size(), INT_MAX));
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return PathText((*m_files)[static_cast<std::size_t>(index.row())]);
}

} // namespace vistrel::qt
