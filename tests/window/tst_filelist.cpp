// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/filelist/filelistmodel.h"
#include "gui/filelist/filelistview.h"
#include "support/formfixture.h"
#include "support/testfiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMimeData>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A shown list holding the given entries: a list of its own, 400 by 300, or
// the list of a real main window.
struct ListFixture
{
    explicit ListFixture(const QStringList &entries)
        : ownModel(std::make_unique<FileListModel>())
        , ownView(std::make_unique<FileListView>(QString()))
        , model(*ownModel)
        , view(*ownView)
    {
        model.append(entries);
        view.setModel(&model);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    ListFixture(FormFixture &window, const QStringList &entries)
        : model(window.make().fileList())
        , view(*window.form->findChild<FileListView *>(u"ListView1"_s))
    {
        model.append(entries);
        window.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
    }

    QPoint rowCentre(int row) const { return view.visualRect(model.index(row)).center(); }

    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, pos, view.viewport()->mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    }

    // Presses on row `from`, moves over each row of `path` in turn, releases.
    void drag(int from, const QList<int> &path, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, rowCentre(from), button);
        for (int row : path)
            mouse(QEvent::MouseMove, rowCentre(row), button);
        mouse(QEvent::MouseButtonRelease, rowCentre(path.isEmpty() ? from : path.last()), button);
    }

    std::unique_ptr<FileListModel> ownModel;
    std::unique_ptr<FileListView> ownView;
    FileListModel &model;
    FileListView &view;
};

// The list once `moved` has been taken out of it and put back in at row `to`.
QStringList movedTo(QStringList list, const QString &moved, int to)
{
    list.removeOne(moved);
    list.insert(to, moved);
    return list;
}

bool dragIsAccepted(QWidget *target, QMimeData *data)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    return enter.isAccepted();
}

// As a real drag does: enter, then drop.
void drop(QWidget *target, QMimeData *data)
{
    dragIsAccepted(target, data);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QMimeData *filesData(const QStringList &paths)
{
    auto *data = new QMimeData;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

} // namespace

class FileListTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void deleteAndDoubleClickRemoveOnlyTheCurrentEntry()
    {
        ListFixture f({u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s});
        f.view.setCurrentIndex(f.model.index(1));
        f.view.selectionModel()->select(f.model.index(3), QItemSelectionModel::Select);
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"C"_s, u"D"_s, u"E"_s}));

        f.view.setCurrentIndex(f.model.index(0));
        QTest::keyClick(&f.view, Qt::Key_Delete, Qt::ShiftModifier);
        f.view.setCurrentIndex(f.model.index(0));
        QTest::keyClick(&f.view, Qt::Key_Delete, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(f.model.entries(), (QStringList{u"D"_s, u"E"_s}));

        f.mouse(QEvent::MouseButtonPress, f.rowCentre(1));
        f.mouse(QEvent::MouseButtonRelease, f.rowCentre(1));
        QMouseEvent dbl(QEvent::MouseButtonDblClick, f.rowCentre(1), f.view.viewport()->mapToGlobal(f.rowCentre(1)),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.view.viewport(), &dbl);
        QCOMPARE(f.model.entries(), QStringList{u"D"_s});
    }

    void deleteLeavesTheNextEntryCurrent()
    {
        ListFixture f({u"A"_s, u"B"_s, u"C"_s, u"D"_s});
        f.view.setCurrentIndex(f.model.index(1));
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"C"_s, u"D"_s}));
        // The entry that took its place is current and selected, so Delete goes on down the list.
        QCOMPARE(f.view.currentIndex().row(), 1);
        QCOMPARE(f.view.selectedFlags(), (std::vector<bool>{false, true, false}));
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"D"_s}));
        QCOMPARE(f.view.currentIndex().row(), 1);
        // The last one gone, the new last one is current.
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(f.model.entries(), QStringList{u"A"_s});
        QCOMPARE(f.view.currentIndex().row(), 0);
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(f.model.count(), 0);
        QVERIFY(!f.view.currentIndex().isValid());
    }

    void removingFromAnEmptyListDoesNothing()
    {
        ListFixture f({});
        QTest::keyClick(&f.view, Qt::Key_Delete);
        f.view.removeCurrent();
        QCOMPARE(f.model.count(), 0);
    }

    void otherKeysAreLeftToTheList()
    {
        ListFixture f({u"A"_s, u"B"_s});
        f.view.setCurrentIndex(f.model.index(0));
        QTest::keyClick(&f.view, Qt::Key_Down);
        QCOMPARE(f.view.currentIndex().row(), 1);
        QTest::keyClick(&f.view, Qt::Key_Backspace);
        QCOMPARE(f.model.count(), 2);
    }

    void clearSelectedRemovesEverySelectedEntry()
    {
        FormFixture fx;
        Form1 &form = fx.make();
        form.fileList().append(QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
        auto *view = form.findChild<FileListView *>(u"ListView1"_s);
        view->selectionModel()->select(form.fileList().index(1), QItemSelectionModel::Select);
        view->selectionModel()->select(form.fileList().index(3), QItemSelectionModel::Select);
        form.findChild<QAction *>(u"m5"_s)->trigger();
        QCOMPARE(form.fileList().entries(), (QStringList{u"1"_s, u"3"_s, u"5"_s}));
        form.findChild<QAction *>(u"m5"_s)->trigger();
        QCOMPARE(form.fileList().count(), 3);
    }

    void draggingOneRowAtATimeMovesTheEntry()
    {
        ListFixture f({u"A"_s, u"B"_s, u"C"_s, u"D"_s});
        f.drag(0, {1, 2, 3});
        QCOMPARE(f.model.entries(), (QStringList{u"B"_s, u"C"_s, u"D"_s, u"A"_s}));
        QVERIFY(f.view.selectionModel()->isSelected(f.model.index(3)));
    }

    void theDraggedEntryEndsCurrentAndTheOnlyOneSelected()
    {
        ListFixture f({u"A"_s, u"B"_s, u"C"_s, u"D"_s});
        f.drag(0, {1, 2, 3});
        QCOMPARE(f.view.currentIndex().row(), 3);
        QCOMPARE(f.view.selectionModel()->selectedRows().size(), 1);
        QCOMPARE(f.view.selectedFlags(), (std::vector<bool>{false, false, false, true}));
        // Delete removes the entry that was dragged, not one it passed.
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(f.model.entries(), (QStringList{u"B"_s, u"C"_s, u"D"_s}));

        f.drag(2, {1});
        QCOMPARE(f.model.entries(), (QStringList{u"B"_s, u"D"_s, u"C"_s}));
        f.model.removeFlagged(f.view.selectedFlags());
        QCOMPARE(f.model.entries(), (QStringList{u"B"_s, u"C"_s}));
    }

    void jumpingOverRowsTradesTwoEntries()
    {
        ListFixture f({u"A"_s, u"B"_s, u"C"_s, u"D"_s});
        f.drag(0, {3});
        QCOMPARE(f.model.entries(), (QStringList{u"D"_s, u"B"_s, u"C"_s, u"A"_s}));
    }

    void theRightButtonDragsToo()
    {
        ListFixture f({u"A"_s, u"B"_s, u"C"_s});
        f.drag(2, {1, 0}, Qt::RightButton);
        QCOMPARE(f.model.entries(), (QStringList{u"C"_s, u"A"_s, u"B"_s}));
    }

    void equalTextsAndEmptySpaceSwapNothing()
    {
        ListFixture f({u"A"_s, u"B"_s, u"A"_s});
        f.drag(0, {0, 2});
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"B"_s, u"A"_s}));
        f.mouse(QEvent::MouseButtonPress, f.rowCentre(1));
        f.mouse(QEvent::MouseMove, QPoint(20, 290));
        f.mouse(QEvent::MouseButtonRelease, QPoint(20, 290));
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"B"_s, u"A"_s}));
    }

    void movingWithoutAPressedButtonSwapsNothing()
    {
        ListFixture f({u"A"_s, u"B"_s});
        f.drag(0, {});
        f.mouse(QEvent::MouseMove, f.rowCentre(1));
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"B"_s}));
    }

    void aSwapScrollsByThePointersScreenRow_data()
    {
        QTest::addColumn<int>("screenY");
        QTest::addColumn<int>("visibleRow");
        QTest::newRow("304 shows the row above") << 304 << 49;
        QTest::newRow("305 scrolls nothing") << 305 << -1;
        QTest::newRow("364 scrolls nothing") << 364 << -1;
        QTest::newRow("365 shows the row below") << 365 << 51;
    }
    void aSwapScrollsByThePointersScreenRow()
    {
        QFETCH(int, screenY);
        QFETCH(int, visibleRow);
        QStringList entries;
        for (int i = 0; i < 200; ++i)
            entries << QString::number(i);
        ListFixture f(entries);
        f.view.setCursorPositionSource([screenY] { return QPoint(0, screenY); });
        f.view.scrollTo(f.model.index(50), QAbstractItemView::PositionAtTop);
        const int top = f.view.indexAt(QPoint(5, 2)).row();
        QCOMPARE(top, 50);
        f.drag(51, {50});
        QCOMPARE(f.model.text(50), u"51"_s);
        const int after = f.view.indexAt(QPoint(5, 2)).row();
        if (visibleRow == 49)
            QCOMPARE(after, 49);
        else
            QCOMPARE(after, 50);
        if (visibleRow == 51) {
            f.view.scrollTo(f.model.index(150), QAbstractItemView::PositionAtBottom);
            const QModelIndex bottom = f.view.indexAt(QPoint(5, f.view.viewport()->height() - 2));
            f.drag(bottom.row() - 1, {bottom.row()});
            QVERIFY(f.view.visualRect(f.model.index(bottom.row() + 1)).bottom() <= f.view.viewport()->height());
        }
    }

    void ctrlUpAndDownMoveTheCurrentEntryOneRow()
    {
        FormFixture window;
        ListFixture f(window, {u"A"_s, u"B"_s, u"C"_s, u"D"_s});
        f.view.setCurrentIndex(f.model.index(1));
        QTest::keyClick(&f.view, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"C"_s, u"B"_s, u"D"_s}));
        QCOMPARE(f.view.currentIndex().row(), 2);
        QCOMPARE(f.view.selectedFlags(), (std::vector<bool>{false, false, true, false}));
        QTest::keyClick(&f.view, Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(&f.view, Qt::Key_Down, Qt::ControlModifier); // already the last
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"C"_s, u"D"_s, u"B"_s}));
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(&f.view, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(f.model.entries(), (QStringList{u"B"_s, u"A"_s, u"C"_s, u"D"_s}));
        QCOMPARE(f.view.currentIndex().row(), 0);
        // Delete then removes the entry that was moved.
        QTest::keyClick(&f.view, Qt::Key_Delete);
        QCOMPARE(f.model.entries(), (QStringList{u"A"_s, u"C"_s, u"D"_s}));

        // A long list scrolls to keep the moved entry in sight.
        QStringList entries;
        for (int i = 0; i < 200; ++i)
            entries << QString::number(i);
        FormFixture longWindow;
        ListFixture longList(longWindow, entries);
        const int lastVisible = longList.view.indexAt(QPoint(5, longList.view.viewport()->height() - 2)).row();
        longList.view.setCurrentIndex(longList.model.index(lastVisible));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(&longList.view, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(longList.model.text(lastVisible + 5), QString::number(lastVisible));
        QVERIFY(longList.view.viewport()->rect().contains(
            longList.view.visualRect(longList.model.index(lastVisible + 5)).center()));

        // Nothing current: nothing moves.
        ListFixture none({u"A"_s, u"B"_s});
        none.view.setCurrentIndex(QModelIndex());
        QTest::keyClick(&none.view, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(none.model.entries(), (QStringList{u"A"_s, u"B"_s}));
    }

    void aDragHeldBeyondAnEdgeCarriesTheEntryAsTheListScrolls()
    {
        QStringList entries;
        for (int i = 0; i < 200; ++i)
            entries << QString::number(i);
        FormFixture window;
        ListFixture f(window, entries);
        // A screen row between the two bounds: only the edge scrolls the list here.
        f.view.setCursorPositionSource([] { return QPoint(0, 330); });
        const int height = f.view.viewport()->height();
        const auto topRow = [&f] { return f.view.indexAt(QPoint(5, 2)).row(); };
        const auto firstWhole = [&f] {
            const QModelIndex top = f.view.indexAt(QPoint(5, 0));
            return f.view.visualRect(top).top() < 0 ? top.row() + 1 : top.row();
        };
        const auto lastWhole = [&f, height] {
            const QModelIndex bottom = f.view.indexAt(QPoint(5, height - 1));
            return f.view.visualRect(bottom).bottom() >= height ? bottom.row() - 1 : bottom.row();
        };

        // At every scroll while the pointer is held beyond an edge, the dragged
        // entry must be on the whole row at that edge and all others in their order.
        QStringList before;
        QString dragged;
        int edge = 0; // -1 the top, 1 the bottom, 0 not held beyond one
        int scrolls = 0;
        QStringList faults;
        QObject::connect(f.view.verticalScrollBar(), &QScrollBar::valueChanged, &f.view, [&] {
            if (edge == 0)
                return;
            ++scrolls;
            const int want = edge < 0 ? firstWhole() : lastWhole();
            const int at = int(f.model.entries().indexOf(dragged));
            if (at != want || f.model.entries() != movedTo(before, dragged, at))
                faults << u"at %1, not %2"_s.arg(at).arg(want);
        });
        const auto holdBeyond = [&](int side, const QString &entry) {
            before = f.model.entries();
            dragged = entry;
            edge = side;
            scrolls = 0;
        };

        // Down to the last row on screen, one row at a time, then below the list.
        const int bottom = lastWhole();
        QList<int> down;
        for (int row = 6; row <= bottom; ++row)
            down << row;
        f.mouse(QEvent::MouseButtonPress, f.rowCentre(5));
        for (int row : down)
            f.mouse(QEvent::MouseMove, f.rowCentre(row));
        QCOMPARE(f.model.entries(), movedTo(entries, u"5"_s, bottom));
        holdBeyond(1, u"5"_s);
        f.mouse(QEvent::MouseMove, QPoint(20, height + 15));
        QTRY_VERIFY(scrolls >= 10);
        f.mouse(QEvent::MouseMove, QPoint(20, height + 40));
        QTRY_VERIFY(scrolls >= 20);
        f.mouse(QEvent::MouseButtonRelease, QPoint(20, height + 40));
        edge = 0;
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u", "_s)));
        QVERIFY(topRow() >= 20);
        QCOMPARE(f.model.entries(), movedTo(entries, u"5"_s, lastWhole()));
        QCOMPARE(f.view.currentIndex().row(), lastWhole());
        QCOMPARE(f.view.selectionModel()->selectedRows().size(), 1);
        // Released, the list stays where it was.
        const int scrolledTo = topRow();
        QTest::qWait(3 * FileListView::edgeScrollIntervalMs);
        QCOMPARE(topRow(), scrolledTo);

        // Held below again, then back over the list and up one row at a time:
        // the entry moves on with the pointer, and nothing else changes place.
        f.mouse(QEvent::MouseButtonPress, f.rowCentre(lastWhole()));
        holdBeyond(1, u"5"_s);
        f.mouse(QEvent::MouseMove, QPoint(20, height + 15));
        QTRY_VERIFY(scrolls >= 5);
        edge = 0;
        const int back = lastWhole();
        for (int row = back; row >= back - 3; --row)
            f.mouse(QEvent::MouseMove, f.rowCentre(row));
        f.mouse(QEvent::MouseButtonRelease, f.rowCentre(back - 3));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u", "_s)));
        QCOMPARE(f.model.entries(), movedTo(entries, u"5"_s, back - 3));

        // Above the list, from near the bottom of a list scrolled to its end.
        f.view.scrollToBottom();
        const int bottomTop = topRow();
        const int pressed = f.model.count() - 3;
        const QString pressedText = f.model.text(pressed);
        const QStringList beforeUp = f.model.entries();
        f.mouse(QEvent::MouseButtonPress, f.rowCentre(pressed));
        for (int row = pressed - 1; row >= firstWhole(); --row)
            f.mouse(QEvent::MouseMove, f.rowCentre(row));
        QCOMPARE(f.model.entries(), movedTo(beforeUp, pressedText, bottomTop));
        holdBeyond(-1, pressedText);
        f.mouse(QEvent::MouseMove, QPoint(20, -15));
        QTRY_VERIFY(scrolls >= 10);
        // Beyond the top and to the left is still beyond the top.
        f.mouse(QEvent::MouseMove, QPoint(-30, -40));
        QTRY_VERIFY(scrolls >= 20);
        f.mouse(QEvent::MouseButtonRelease, QPoint(-30, -40));
        edge = 0;
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u", "_s)));
        QVERIFY(topRow() <= bottomTop - 20);
        QCOMPARE(f.model.entries(), movedTo(beforeUp, pressedText, firstWhole()));
        QCOMPARE(f.view.currentIndex().row(), firstWhole());

        // Beside the list, at the height of a row, there is no row either.
        const QStringList beside = f.model.entries();
        f.view.scrollToTop();
        f.mouse(QEvent::MouseButtonPress, f.rowCentre(0));
        f.mouse(QEvent::MouseMove, QPoint(f.view.viewport()->width() + 20, f.rowCentre(3).y()));
        f.mouse(QEvent::MouseButtonRelease, QPoint(f.view.viewport()->width() + 20, f.rowCentre(3).y()));
        QCOMPARE(f.model.entries(), beside);
        QCOMPARE(topRow(), 0);

        // Below a list too short to fill its area is empty space, as inside it.
        ListFixture shortList({u"A"_s, u"B"_s, u"C"_s});
        shortList.mouse(QEvent::MouseButtonPress, shortList.rowCentre(0));
        shortList.mouse(QEvent::MouseMove, QPoint(20, shortList.view.viewport()->height() + 20));
        shortList.mouse(QEvent::MouseButtonRelease, QPoint(20, shortList.view.viewport()->height() + 20));
        QCOMPARE(shortList.model.entries(), (QStringList{u"A"_s, u"B"_s, u"C"_s}));
    }

    void aLongPathKeepsItsFileNameInSightAndShowsWholeAsATooltip()
    {
        const QString path = u"/home/ann/"_s + QString(u"very long folder name/"_s).repeated(8) + u"Budget 2014.xls"_s;
        FormFixture window;
        ListFixture f(window, {path, u"/short.xls"_s});
        QCOMPARE(f.view.textElideMode(), Qt::ElideMiddle);
        const QString shown
            = f.view.fontMetrics().elidedText(path, f.view.textElideMode(), f.view.header()->sectionSize(0));
        QVERIFY(shown != path);
        QVERIFY(shown.endsWith(u"Budget 2014.xls"_s));

        QHelpEvent help(QEvent::ToolTip, f.rowCentre(0), f.view.viewport()->mapToGlobal(f.rowCentre(0)));
        QApplication::sendEvent(f.view.viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), path);
        QToolTip::hideText();
        // A swap moves the tooltip with the path.
        f.drag(0, {1});
        QCOMPARE(f.model.index(1).data(Qt::ToolTipRole).toString(), path);
    }

    void onlyLocalFileListsMayBeDropped()
    {
        FormFixture fx;
        Form1 &form = fx.make();
        QWidget *target = form.findChild<FileListView *>(u"ListView1"_s)->viewport();

        QMimeData text;
        text.setText(u"/tmp/a.xls"_s);
        QVERIFY(!dragIsAccepted(target, &text));
        drop(target, &text);

        QMimeData web;
        web.setUrls({QUrl(u"https://www.tenvara.example/a.xls"_s)});
        QVERIFY(!dragIsAccepted(target, &web));
        drop(target, &web);
        QCOMPARE(form.fileList().count(), 0);

        QMimeData remote;
        remote.setUrls({QUrl(u"file:///tmp/a.xls"_s), QUrl(u"file://otherhost/share/b.xls"_s)});
        QVERIFY(!dragIsAccepted(target, &remote));
        drop(target, &remote);
        QCOMPARE(form.fileList().count(), 0);

        QMimeData local;
        local.setUrls({QUrl(u"file://localhost/tmp/a.xls"_s)});
        QVERIFY(dragIsAccepted(target, &local));

        std::unique_ptr<QMimeData> files(filesData({u"/tmp/a.xls"_s}));
        QVERIFY(dragIsAccepted(target, files.get()));
    }

    void droppedFoldersExpandInPlaceAndFilesStayUnchanged()
    {
        FormFixture fx;
        Form1 &form = fx.make();
        QTemporaryDir dir;
        const QString root = dir.path();
        QVERIFY(touch(root + u"/first/z.txt"_s));
        QVERIFY(touch(root + u"/first/sub/a.xls"_s));
        QVERIFY(touch(root + u"/first/~skip.xls"_s));
        QVERIFY(touch(root + u"/first/.hidden/no.xls"_s));
        QVERIFY(touch(root + u"/second/only/deep.ods"_s));
        QVERIFY(touch(root + u"/~kept.xls"_s));

        std::unique_ptr<QMimeData> data(
            filesData({root + u"/~kept.xls"_s, root + u"/first"_s, root + u"/missing.xls"_s, root + u"/second"_s}));
        drop(form.findChild<FileListView *>(u"ListView1"_s)->viewport(), data.get());
        QCOMPARE(form.fileList().entries(),
                 (QStringList{root + u"/~kept.xls"_s, root + u"/first/z.txt"_s, root + u"/first/sub/a.xls"_s,
                              root + u"/missing.xls"_s, root + u"/second/only/deep.ods"_s}));
    }

    void addFolderWalksTheTreeForTheExtension()
    {
        FormFixture fx;
        Form1 &form = fx.make();
        QTemporaryDir dir;
        QVERIFY(touch(dir.path() + u"/B/b.XLS"_s));
        QVERIFY(touch(dir.path() + u"/A/a.xls"_s));
        QVERIFY(touch(dir.path() + u"/A/a.xlsx"_s));
        QVERIFY(touch(dir.path() + u"/r.xls"_s));
        QVERIFY(touch(dir.path() + u"/~r.xls"_s));
        fx.prompts.inputAnswers = {u"XLS"_s};
        fx.prompts.folderAnswers = {dir.path()};
        form.AddFolder();
        QCOMPARE(form.fileList().entries(),
                 (QStringList{dir.path() + u"/r.xls"_s, dir.path() + u"/A/a.xls"_s, dir.path() + u"/B/b.XLS"_s}));
        QVERIFY(!form.isBusyPointer());

        QCOMPARE(fx.prompts.inputs.size(), 1);
        QCOMPARE(fx.prompts.inputs[0],
                 (QStringList{u"Enter file extension to load:\n\n(* for all files, txt for all txt files, doc for "
                              "all doc files, etc.)"_s,
                              u"Corvane"_s, u"xls"_s}));
        QCOMPARE(fx.prompts.folderBrowsers, QStringList{u"Please select folder:"_s});

        fx.prompts.inputAnswers = {u"*"_s};
        fx.prompts.folderAnswers = {dir.path() + u"/A"_s};
        form.AddFolder();
        QCOMPARE(form.fileList().entries().mid(3),
                 (QStringList{dir.path() + u"/A/a.xls"_s, dir.path() + u"/A/a.xlsx"_s}));
    }

    void cancellingAddFolderAddsNothing()
    {
        FormFixture fx;
        Form1 &form = fx.make();
        form.AddFolder(); // no extension given
        QCOMPARE(fx.prompts.folderBrowsers.size(), 0);
        fx.prompts.inputAnswers = {u"xls"_s};
        form.AddFolder(); // folder browser cancelled
        QCOMPARE(fx.prompts.folderBrowsers.size(), 1);
        QCOMPARE(form.fileList().count(), 0);
    }

    void addFilesAppendsTheDialogsPathsUnchanged()
    {
        FormFixture fx;
        Form1 &form = fx.make();
        fx.prompts.openFileAnswers = {{u"/d/b c.xlsx"_s, u"/d/a.xls"_s}, {}, {u"/d/a.xls"_s}};
        form.AddFiles();
        form.AddFiles();
        form.AddFiles();
        QCOMPARE(form.fileList().entries(), (QStringList{u"/d/b c.xlsx"_s, u"/d/a.xls"_s, u"/d/a.xls"_s}));
        QCOMPARE(fx.prompts.openFileDialogs[0][0], u"Add File(s) - Hold Ctrl to select multiple files"_s);
        // The dialog chooses the first type; the others are there to switch to.
        const QStringList types = fx.prompts.openFileDialogs[0][1].split(u";;"_s);
        QCOMPARE(types.size(), 3);
        QCOMPARE(types[0], u"Excel Files (*.xl*)"_s);
        QVERIFY(types[1].startsWith(u"Spreadsheets ("_s));
        for (const char *pattern : {"*.xls", "*.xlsx", "*.xlsm", "*.xlsb", "*.ods", "*.ots", "*.xltx"})
            QVERIFY2(types[1].section(u'(', 1).chopped(1).split(u' ').contains(QLatin1String(pattern)), pattern);
        QCOMPARE(types[2], u"All files (*)"_s);
    }
};

QTEST_MAIN(FileListTest)
#include "tst_filelist.moc"
