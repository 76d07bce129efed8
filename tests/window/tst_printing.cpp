// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/filelist/filelistmodel.h"
#include "gui/filelist/filelistview.h"
#include "support/formfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace {

QComboBox *printerBox(Form1 &form)
{
    return form.findChild<QComboBox *>(u"Combo1"_s);
}

QList<int> valuesOf(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : spy)
        values << arguments.at(0).toInt();
    return values;
}

QStringList items(QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

class WindowPrintingTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstStartSelectsTheDefaultPrinterWithoutStoringIt()
    {
        FormFixture f;
        Form1 &form = f.make();
        QCOMPARE(items(printerBox(form)), (QStringList{u"Office"_s, u"Second"_s, u"Third"_s}));
        QCOMPARE(printerBox(form)->currentText(), u"Second"_s);
        QCOMPARE(f.settings.get(u"Combo1"_s), u"<none>"_s);
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void aStoredPositionIsSelectedWhateverPrinterStandsThere_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("selected");
        QTest::newRow("third") << u"2"_s << u"Third"_s;
        QTest::newRow("first") << u"0"_s << u"Office"_s;
        QTest::newRow("gone") << u"99"_s << QString();
        QTest::newRow("not a number") << u"abc"_s << QString();
        QTest::newRow("nothing") << u"-1"_s << QString();
        QTest::newRow("empty is absent") << QString() << u"Second"_s;
    }
    void aStoredPositionIsSelectedWhateverPrinterStandsThere()
    {
        QFETCH(QString, stored);
        QFETCH(QString, selected);
        FormFixture f;
        f.settings.set(u"Combo1"_s, stored);
        Form1 &form = f.make();
        QCOMPARE(printerBox(form)->currentText(), selected);
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void aPickIsStoredAtOnce()
    {
        FormFixture f;
        Form1 &form = f.make();
        QComboBox *box = printerBox(form);
        box->setCurrentIndex(2);
        Q_EMIT box->activated(2);
        QCOMPARE(f.settings.get(u"Combo1"_s), u"2"_s);
        QCOMPARE(printerBox(f.make())->currentText(), u"Third"_s);
    }

    void noPrintersAtAllIsReportedAtLine100()
    {
        FormFixture f;
        f.printers.names.clear();
        f.printers.defaultName.clear();
        Form1 &form = f.make();
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].title, u"Application Error"_s);
        QVERIFY(f.prompts.messages[0].text.startsWith(
            u"There is no default printer.\r\nin Corvane5/20/2014.Form1.listPrinters at line 100\r\r"_s));
        QCOMPARE(printerBox(form)->count(), 0);
        QCOMPARE(printerBox(form)->currentIndex(), -1);
    }

    void anUnreachablePrintingSystemIsReportedAndTheWindowStillOpens()
    {
        FormFixture f;
        f.printers.namesFail = true;
        Form1 &form = f.make();
        QStringList lines;
        for (const auto &m : f.prompts.messages)
            lines << m.text.section(u"at line "_s, 1).section(u'\r', 0, 0);
        QCOMPARE(lines, (QStringList{u"102"_s, u"110"_s}));
        QCOMPARE(printerBox(form)->count(), 0);
    }

    void startPrintingPrintsTheListOnTheChosenPrinter()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        form.fileList().append(QStringList{u"/a.xlsx"_s, u"/b.xlsx"_s});
        form.findChild<QRadioButton *>(u"Option2"_s)->setChecked(true);
        printerBox(form)->setCurrentIndex(0);
        QSignalSpy bar(form.findChild<QProgressBar *>(u"ProgressBar1"_s), &QProgressBar::valueChanged);
        // Posted before the run: it is handled only if the window takes events
        // while the engine works.
        f.engine.openDelayMs = 50;
        bool handledDuringRun = false;
        QTimer::singleShot(0, &form, [&] { handledDuringRun = form.isBusyPointer(); });
        form.findChild<QAction *>(u"command1002"_s)->trigger();

        QVERIFY(f.engine.calls().contains(u"printbook#1 Office"_s));
        QVERIFY(f.engine.calls().contains(u"printbook#2 Office"_s));
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, u"Done."_s);
        QCOMPARE(form.findChild<QProgressBar *>(u"ProgressBar1"_s)->value(), 0);
        QVERIFY(!form.isBusyPointer());
        QVERIFY(handledDuringRun);
        QCOMPARE(valuesOf(bar), (QList<int>{50, 100, 0}));
        QCOMPARE(form.fileList().count(), 2);
    }

    void theBarShowsTheNearestWholePercent()
    {
        FormFixture f;
        Form1 &form = f.make();
        QStringList entries;
        for (int i = 1; i <= 100; ++i)
            entries << u"/w%1.xlsx"_s.arg(i);
        form.fileList().append(entries);
        QSignalSpy bar(form.findChild<QProgressBar *>(u"ProgressBar1"_s), &QProgressBar::valueChanged);
        form.Start();
        // 29 / 100 * 100 is 28.999... in floating point: truncating would show 28 twice.
        const QList<int> values = valuesOf(bar);
        QCOMPARE(values.size(), 101);
        for (int i = 1; i <= 100; ++i)
            QCOMPARE(values.at(i - 1), i);
    }

    void theWindowTakesNoInputDuringARun()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.fileList().append(QStringList{u"/a.xlsx"_s, u"/b.xlsx"_s});
        auto *view = form.findChild<FileListView *>(u"ListView1"_s);
        view->setCurrentIndex(form.fileList().index(0));
        f.engine.openDelayMs = 100;
        bool pressedDuringRun = false;
        QTimer::singleShot(0, &form, [&] {
            QTest::keyClick(view, Qt::Key_Delete);
            QTest::keyClick(view, Qt::Key_Delete);
            pressedDuringRun = form.isBusyPointer();
        });
        form.Start();
        QVERIFY(pressedDuringRun);
        QCOMPARE(form.fileList().count(), 2);
        QCOMPARE(f.engine.instances, 2);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(form.fileList().count(), 1);
    }

    void closingDuringARunEndsTheHungEngineAndTheWindowAtOnce()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        form.fileList().append(QStringList{u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s});
        f.engine.openDelayMs = 300000; // the engine hangs in the first workbook
        QTimer::singleShot(0, &form, [&form] { form.close(); });
        QElapsedTimer timer;
        timer.start();
        form.Start();
        // Far below the engine's hang: the close did not wait for it.
        QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(f.engine.instances, 1);
        const QStringList calls = f.engine.calls();
        QVERIFY(calls.contains(u"stop"_s));
        QVERIFY(calls.contains(u"end#1"_s));
        QVERIFY(!calls.contains(u"open#2 /b.xlsx"_s));
        QVERIFY(!form.isVisible());
        // No report, not even for the call the stop cut short.
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(f.settings.get(u"Width"_s) != u"<none>"_s);
        QCOMPARE(form.findChild<QProgressBar *>(u"ProgressBar1"_s)->value(), 0);
    }

    void ctrlPStartsPrinting()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.fileList().append(QStringList{u"/a.xlsx"_s, u"/b.xlsx"_s});
        QTest::keyClick(&form, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(f.engine.calls().filter(u"printsheet#"_s),
                 (QStringList{u"printsheet#1 Second"_s, u"printsheet#2 Second"_s}));
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, u"Done."_s);
        QVERIFY(form.findChild<QAction *>(u"command1002"_s)->toolTip().contains(u"Ctrl+P"_s));
    }

    void escapeStopsAfterTheWorkbookUnderWay()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *view = form.findChild<FileListView *>(u"ListView1"_s);
        auto *bar = form.findChild<QProgressBar *>(u"ProgressBar1"_s);
        form.fileList().append(QStringList{u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s});
        f.engine.openDelayMs = 1000;
        // Pressed while the first workbook opens.
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, &form, [&] {
            if (f.engine.calls().contains(u"open#1 /a.xlsx"_s)) {
                watch.stop();
                QTest::keyClick(view, Qt::Key_Escape);
            }
        });
        watch.start();
        form.Start();

        // The first workbook went the whole way; no office started for the others.
        const QStringList calls = f.engine.calls();
        QCOMPARE(calls,
                 (QStringList{u"create#1"_s, u"open#1 /a.xlsx"_s, u"printsheet#1 Second"_s, u"close#1"_s, u"quit#1"_s,
                              u"end#1"_s}));
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].text, u"Printing was stopped after 1 of 3 workbooks."_s);
        QCOMPARE(f.prompts.messages[0].title, u"Corvane"_s);
        QCOMPARE(bar->value(), 0);
        QVERIFY(!form.isBusyPointer());
        QCOMPARE(form.fileList().count(), 3);

        // Escape outside a run does nothing, and the next run prints everything.
        QTest::keyClick(view, Qt::Key_Escape);
        f.engine.openDelayMs = 0;
        form.Start();
        QCOMPARE(f.engine.instances, 4);
        QCOMPARE(f.prompts.messages.size(), 2);
        QCOMPARE(f.prompts.messages[1].text, u"Done."_s);
    }

    void theToolbarIsReachedWithTabAndPressedWithSpace()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.fileList().append(QStringList{u"/a.xlsx"_s});
        auto *start
            = form.findChild<QToolBar *>(u"Standard"_s)->widgetForAction(form.findChild<QAction *>(u"command1002"_s));
        form.findChild<FileListView *>(u"ListView1"_s)->setFocus();
        QSet<QWidget *> visited;
        for (int i = 0; i < 12 && QApplication::focusWidget() != start; ++i) {
            visited.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), start);
        QVERIFY(visited.size() >= 4); // the list, the tab bar and the other buttons
        QTest::keyClick(start, Qt::Key_Space);
        QVERIFY(f.engine.calls().contains(u"printsheet#1 Second"_s));
        QCOMPARE(f.prompts.messages.size(), 1);
    }
};

QTEST_MAIN(WindowPrintingTest)
#include "tst_printing.moc"
