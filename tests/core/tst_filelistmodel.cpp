// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/filelist/filelistmodel.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class FileListModelTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entriesKeepTheirOrderAndDuplicates()
    {
        FileListModel list;
        list.append(u"/a.xls"_s);
        list.append(QStringList{u"/b.xls"_s, u"/a.xls"_s});
        QCOMPARE(list.entries(), (QStringList{u"/a.xls"_s, u"/b.xls"_s, u"/a.xls"_s}));
        QCOMPARE(list.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), u"Excel Files"_s);
    }

    void removingOneMovesTheRestUp()
    {
        FileListModel list;
        list.append(QStringList{u"1"_s, u"2"_s, u"3"_s, u"2"_s});
        list.removeAt(1);
        QCOMPARE(list.entries(), (QStringList{u"1"_s, u"3"_s, u"2"_s}));
        list.removeAt(7);
        list.removeAt(-1);
        QCOMPARE(list.count(), 3);
    }

    void removingFlaggedEntriesKeepsTheOthersInOrder()
    {
        FileListModel list;
        list.append(QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
        list.removeFlagged({false, true, false, true, false});
        QCOMPARE(list.entries(), (QStringList{u"1"_s, u"3"_s, u"5"_s}));

        QSignalSpy resets(&list, &QAbstractItemModel::modelReset);
        list.removeFlagged({false, false, false});
        QCOMPARE(resets.size(), 0);
        list.removeFlagged({true, true, true});
        QCOMPARE(list.count(), 0);
    }

    void swappingTextsNotifiesTheView()
    {
        FileListModel list;
        list.append(QStringList{u"a"_s, u"b"_s});
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        QVERIFY(list.setData(list.index(0), u"b"_s, Qt::EditRole));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(list.text(0), u"b"_s);
        QVERIFY(!list.setData(list.index(5), u"x"_s, Qt::EditRole));
    }
};

QTEST_GUILESS_MAIN(FileListModelTest)
#include "tst_filelistmodel.moc"
