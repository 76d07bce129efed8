// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/filelist/filelistmodel.h"

#include "core/filelist/filelisttexts.h"

FileListModel::FileListModel(QObject *parent)
    : QAbstractListModel(parent)
{}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_paths.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_paths.size())
        return {};
    // The tooltip is the whole path: the list may show only part of it.
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
        return m_paths.at(index.row());
    return {};
}

bool FileListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_paths.size() || role != Qt::EditRole)
        return false;
    setText(index.row(), value.toString());
    return true;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return FileListTexts::columnHeader();
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool FileListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > m_paths.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_paths.remove(row, count);
    endRemoveRows();
    return true;
}

int FileListModel::count() const
{
    return int(m_paths.size());
}

QString FileListModel::text(int row) const
{
    return m_paths.value(row);
}

void FileListModel::setText(int row, const QString &text)
{
    if (row < 0 || row >= m_paths.size() || m_paths.at(row) == text)
        return;
    m_paths[row] = text;
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
}

QStringList FileListModel::entries() const
{
    return m_paths;
}

void FileListModel::append(const QString &path)
{
    append(QStringList{path});
}

void FileListModel::append(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    const int first = int(m_paths.size());
    beginInsertRows(QModelIndex(), first, first + int(paths.size()) - 1);
    m_paths.append(paths);
    endInsertRows();
}

void FileListModel::removeAt(int row)
{
    removeRows(row, 1);
}

void FileListModel::removeFlagged(const std::vector<bool> &flags)
{
    // Removing rows one at a time costs a shift of the rest each time; a whole
    // new list costs one pass however scattered the rows are.
    QStringList kept;
    kept.reserve(m_paths.size());
    bool any = false;
    for (qsizetype row = 0; row < m_paths.size(); ++row) {
        if (std::size_t(row) < flags.size() && flags[std::size_t(row)])
            any = true;
        else
            kept.append(m_paths.at(row));
    }
    if (!any)
        return;
    beginResetModel();
    m_paths = std::move(kept);
    endResetModel();
}

void FileListModel::clear()
{
    if (m_paths.isEmpty())
        return;
    beginResetModel();
    m_paths.clear();
    endResetModel();
}
