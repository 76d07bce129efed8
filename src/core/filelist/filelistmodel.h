// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <vector>

// The ordered list of workbook paths a print run works through. An entry is
// its text, the full path of one file, and nothing else; the row order is the
// print order and the same path may stand in several rows.
class FileListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit FileListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    int count() const;
    QString text(int row) const;
    void setText(int row, const QString &text);
    QStringList entries() const;

    void append(const QString &path);
    void append(const QStringList &paths);
    void removeAt(int row);
    // Removes every row whose flag is set; flags has one per row.
    void removeFlagged(const std::vector<bool> &flags);
    void clear();

private:
    QStringList m_paths;
};
