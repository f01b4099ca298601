#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QAbstractListModel>

namespace vistrel::qt {

// The file list's rows, read straight from the browser's list: a folder of 200,000 names
// costs the view nothing until rows are shown, and an unchanged list is not reset.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using Files = std::shared_ptr<const std::vector<std::string>>;
    explicit FileListModel(QObject* parent = nullptr);

    // Shows files; a list equal to the one shown keeps the view (scroll, current row) as is.
    void setFiles(Files files);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    Files m_files;
};

} // namespace vistrel::qt
