// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/corvaneapplication.h"
#include "core/common/twips.h"
#include "core/common/webaddresses.h"
#include "core/filelist/filelistmodel.h"
#include "gui/shell/desktopshellopen.h"
#include "gui/shell/qtprompts.h"
#include "support/formfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>

using namespace Qt::StringLiterals;

class Form1Test final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void pathsGivenAtStartAreAppendedInOrder()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + u"/tree/sub"_s);
        for (const QString &name : {u"/b.xlsx"_s, u"/tree/t.xls"_s, u"/tree/sub/s.ods"_s}) {
            QFile file(dir.path() + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QStringList paths
            = StartupPaths({QUrl::fromLocalFile(dir.path() + u"/b.xlsx"_s).toString(), dir.path() + u"/tree"_s,
                            u"sftp://otherhost/x.xlsx"_s, u"file://otherhost/y.xlsx"_s});
        QCOMPARE(paths, (QStringList{dir.path() + u"/b.xlsx"_s, dir.path() + u"/tree"_s}));
        QCOMPARE(StartupPaths({u"relative.xlsx"_s}), QStringList{QDir::current().absoluteFilePath(u"relative.xlsx"_s)});

        FormFixture f;
        Form1 &form = f.make();
        form.fileList().append(QStringList{u"/already.xlsx"_s});
        form.AppendPaths(paths);
        QCOMPARE(form.fileList().entries(),
                 (QStringList{u"/already.xlsx"_s, dir.path() + u"/b.xlsx"_s, dir.path() + u"/tree/t.xls"_s,
                              dir.path() + u"/tree/sub/s.ods"_s}));
    }

    void firstStartOpensOnFilesCentredAtDesignSize()
    {
        FormFixture f;
        Form1 &form = f.make();
        QCOMPARE(form.findChild<QTabWidget *>(u"TabControl1"_s)->currentIndex(), 0);
        QCOMPARE(form.size(), QSize(549, 586));
        QCOMPARE(form.windowTitle(), u"Corvane"_s);
        QVERIFY(!form.windowIcon().isNull());
        QVERIFY(f.prompts.messages.isEmpty());
        const QRect screen = form.screen()->geometry();
        QCOMPARE(form.frameGeometry().center().x(), screen.center().x());
    }

    void storedTabIsRestored_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("opensOn");
        QTest::newRow("options") << u"1"_s << 1;
        QTest::newRow("files") << u"0"_s << 0;
        QTest::newRow("out of range") << u"7"_s << 0;
        QTest::newRow("negative") << u"-1"_s << 0;
        QTest::newRow("not a number") << u"two"_s << 0;
    }
    void storedTabIsRestored()
    {
        QFETCH(QString, stored);
        QFETCH(int, opensOn);
        FormFixture f;
        f.settings.set(u"TabControl1"_s, stored);
        QCOMPARE(f.make().findChild<QTabWidget *>(u"TabControl1"_s)->currentIndex(), opensOn);
    }

    void tabChangeIsStoredAtOnceAndSurvivesARestart()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.findChild<QAction *>(u"m12"_s)->trigger();
        QCOMPARE(f.settings.get(u"TabControl1"_s), u"1"_s);
        form.close();
        QCOMPARE(f.make().findChild<QTabWidget *>(u"TabControl1"_s)->currentIndex(), 1);
        f.form->findChild<QAction *>(u"m10"_s)->trigger();
        QCOMPARE(f.settings.get(u"TabControl1"_s), u"0"_s);
    }

    void closingInNormalStateSavesThePlacementInTwips()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.move(30, 40);
        QVERIFY(form.close());
        const QRect frame = form.frameGeometry();
        QCOMPARE(f.settings.get(u"Left"_s), QString::number(frame.x() * 15));
        QCOMPARE(f.settings.get(u"Top"_s), QString::number(frame.y() * 15));
        QCOMPARE(f.settings.get(u"Width"_s), QString::number(frame.width() * 15));
        QCOMPARE(f.settings.get(u"Height"_s), QString::number(frame.height() * 15));
    }

    void closingMaximisedOrMinimisedKeepsTheStoredPlacement_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("maximised") << int(Qt::WindowMaximized);
        QTest::newRow("minimised") << int(Qt::WindowMinimized);
    }
    void closingMaximisedOrMinimisedKeepsTheStoredPlacement()
    {
        QFETCH(int, state);
        FormFixture f;
        f.settings.set(u"Left"_s, u"111"_s);
        Form1 &form = f.make();
        form.show();
        form.setWindowState(Qt::WindowState(state));
        form.findChild<QAction *>(u"m8"_s)->trigger();
        QVERIFY(!form.isVisible());
        QCOMPARE(f.settings.get(u"Left"_s), u"111"_s);
        for (const QString &key : {u"Top"_s, u"Width"_s, u"Height"_s})
            QCOMPARE(f.settings.get(key), u"<none>"_s);
    }

    void exitAsksNothing()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        form.findChild<QAction *>(u"m8"_s)->trigger();
        QVERIFY(!form.isVisible());
        QVERIFY(f.prompts.messages.isEmpty());
        QVERIFY(f.settings.get(u"Width"_s) != u"<none>"_s);
    }

    void missingEngineIsToldExactlyOnceBeforeTheWindowShows()
    {
        FormFixture f(FakeEngine::Availability::Missing);
        Form1 &form = f.make();
        QVERIFY(!form.isVisible());
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.prompts.messages[0].text.startsWith(u"LibreOffice is not installed on this computer."_s));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(f.prompts.messages.size(), 1);
    }

    void controlsFollowTheWindowSize()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *tabs = form.findChild<QTabWidget *>(u"TabControl1"_s);
        auto *list = form.findChild<QTreeView *>(u"ListView1"_s);
        auto *bar = form.findChild<QProgressBar *>(u"ProgressBar1"_s);
        QCOMPARE(tabs->width(), Twips::toPixels(8235 - 240));
        QCOMPARE(list->header()->sectionSize(0), Twips::toPixels(form.layoutGeometry().listWidth - 500));
        QCOMPARE(bar->width(), tabs->width());
        QCOMPARE(bar->mapTo(&form, QPoint()).y(), Twips::toPixels(form.layoutGeometry().progressTop));
        QCOMPARE(tabs->mapTo(&form, QPoint()), QPoint(8, 108));

        form.resize(800, 700);
        QTRY_COMPARE(tabs->width(), 800 - 16);
        QCOMPARE(bar->width(), tabs->width());
        QCOMPARE(form.findChild<QGroupBox *>(u"Frame1"_s)->width(), 800 - 48);
        QCOMPARE(form.findChild<QComboBox *>(u"Combo1"_s)->width(), Twips::toPixels(800 * 15 - 1220));

        const LayoutGeometry before = form.layoutGeometry();
        form.resize(800, 120);
        QTRY_COMPARE(form.height(), 120);
        QCOMPARE(form.layoutGeometry().tabHeight, before.tabHeight);
        QCOMPARE(tabs->height(), Twips::toPixels(before.tabHeight));
    }

    void optionsTabHoldsPrinterAndSheetChoices()
    {
        FormFixture f;
        Form1 &form = f.make();
        QCOMPARE(form.findChild<QGroupBox *>(u"Frame2"_s)->title(), u"Select Printer"_s);
        QCOMPARE(form.findChild<QGroupBox *>(u"Frame1"_s)->title(), u"Print Options"_s);
        auto *active = form.findChild<QRadioButton *>(u"Option1"_s);
        QCOMPARE(active->text(), u"Print active sheet (first selected sheet you see when you open the file)"_s);
        QVERIFY(active->isChecked());
        QCOMPARE(form.findChild<QRadioButton *>(u"Option2"_s)->text(), u"Print all sheets"_s);
        QCOMPARE(active->font().family(), u"Calibri"_s);
        QVERIFY(active->font().bold());
        QCOMPARE(active->palette().color(QPalette::Window), QColor(Qt::white));
    }

    void theFramesCaptionsStayClearOfTheirControls()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.ShowOptionsTab();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *printers = form.findChild<QGroupBox *>(u"Frame2"_s);
        auto *options = form.findChild<QGroupBox *>(u"Frame1"_s);
        const QRect combo = form.findChild<QComboBox *>(u"Combo1"_s)->geometry();
        const QRect active = form.findChild<QRadioButton *>(u"Option1"_s)->geometry();
        const QRect all = form.findChild<QRadioButton *>(u"Option2"_s)->geometry();
        // Below the frame's top edge, which the style draws under the caption.
        QVERIFY(combo.top() > printers->contentsRect().top());
        QVERIFY(active.top() > options->contentsRect().top());
        // And still inside the frames, one option under the other.
        QVERIFY(combo.bottom() < printers->height() - 1);
        QVERIFY(active.bottom() < all.top());
        QVERIFY(all.bottom() < options->height() - 1);
        QCOMPARE(active.left(), all.left());
    }

    void skinFileTurnsTheFramesButtonFaceColoured()
    {
        FormFixture f;
        QDir(f.programFolder.path()).mkpath(u"x"_s);
        QFile skin(f.programFolder.path() + u"/x/o.cjs"_s);
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write("QProgressBar { border: 2px solid red; }");
        skin.close();
        Form1 &form = f.make();
        const QColor face = form.palette().color(QPalette::Button);
        QCOMPARE(form.palette().color(QPalette::Window), face);
        QCOMPARE(form.findChild<QGroupBox *>(u"Frame1"_s)->palette().color(QPalette::Window), face);
        QCOMPARE(form.findChild<QRadioButton *>(u"Option2"_s)->palette().color(QPalette::Window), face);
        QVERIFY(qApp->styleSheet().contains(u"solid red"_s));
        qApp->setStyleSheet(QString());
    }

    void toolbarHoldsTheFourCommandsInOrder()
    {
        FormFixture f;
        Form1 &form = f.make();
        const auto bars = form.findChildren<QToolBar *>();
        QCOMPARE(bars.size(), 1);
        QToolBar *bar = bars.first();
        QCOMPARE(bar->objectName(), u"Standard"_s);
        QCOMPARE(form.toolBarArea(bar), Qt::TopToolBarArea);
        QCOMPARE(bar->iconSize(), QSize(48, 48));
        QStringList captions;
        QList<int> ids;
        for (QAction *action : bar->actions()) {
            captions << action->text();
            ids << action->data().toInt();
            QVERIFY(!action->icon().isNull());
        }
        QCOMPARE(captions, (QStringList{u"Add Files"_s, u"Add Folder"_s, u"Clear List"_s, u"Start Printing"_s}));
        QCOMPARE(ids, (QList<int>{1000, 1001, 1003, 1002}));
        QCOMPARE(bar->font().family(), u"Calibri"_s);
    }

    void menusHoldEveryItemInOrder()
    {
        FormFixture f;
        Form1 &form = f.make();
        QStringList menus;
        for (QAction *menu : form.menuBar()->actions())
            menus << menu->objectName() + u'=' + menu->text();
        QCOMPARE(menus, (QStringList{u"m1=&File"_s, u"m9=&Options"_s, u"m15=&Help"_s}));

        const auto items = [&form](const QString &menu) {
            QStringList out;
            for (QAction *a : form.findChild<QMenu *>(menu)->actions())
                out << a->objectName() + u'=' + (a->isSeparator() ? u"-"_s : a->text());
            return out;
        };
        QCOMPARE(items(u"m1"_s),
                 (QStringList{u"m2=A&dd Files"_s, u"m3=Add &Folder"_s, u"m4=-"_s, u"m5=Clear Selected Files"_s,
                              u"m6=Clear All Files"_s, u"m7=-"_s, u"m8=&Exit"_s}));
        QCOMPARE(items(u"m9"_s), (QStringList{u"m10=Show Files Tab"_s, u"m12=Show Options Tab"_s}));
        QCOMPARE(items(u"m15"_s),
                 (QStringList{u"m16=Help"_s, u"m17=Load Sample/Example Files"_s, u"m18=Watch Old Demo Video"_s,
                              u"m19=-"_s, u"m20=FAQ"_s, u"m21=Visit Tenvara Main Page"_s}));
    }

    void toolbarAndMenuReachTheSameOperations()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.fileList().append(QStringList{u"/a.xls"_s, u"/b.xls"_s});
        form.CommandBars_Execute(999);
        form.CommandBars_Execute(1004);
        QCOMPARE(form.fileList().count(), 2);
        form.findChild<QAction *>(u"command1003"_s)->trigger();
        QCOMPARE(form.fileList().count(), 0);

        form.fileList().append(u"/a.xls"_s);
        form.findChild<QAction *>(u"m6"_s)->trigger();
        QCOMPARE(form.fileList().count(), 0);

        f.prompts.openFileAnswers = {{u"/x/one.xlsx"_s}, {u"/x/two.xlsx"_s}};
        form.findChild<QAction *>(u"command1000"_s)->trigger();
        form.findChild<QAction *>(u"m2"_s)->trigger();
        QCOMPARE(form.fileList().entries(), (QStringList{u"/x/one.xlsx"_s, u"/x/two.xlsx"_s}));
        QCOMPARE(f.prompts.openFileDialogs.size(), 2);

        form.findChild<QAction *>(u"command1001"_s)->trigger();
        form.findChild<QAction *>(u"m3"_s)->trigger();
        QCOMPARE(f.prompts.inputs.size(), 2);
    }

    void shellTargetsBecomeUrlsWithoutAnyQuoting()
    {
        QCOMPARE(DesktopShellOpen::urlFor(u"https://www.tenvara.example/corvane/faq/"_s),
                 QUrl(u"https://www.tenvara.example/corvane/faq/"_s));
        const QString odd = u"/data/Samples/it's \"a\" $(test) & more.xlsx"_s;
        const QUrl url = DesktopShellOpen::urlFor(odd);
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), odd);
        QCOMPARE(DesktopShellOpen::urlFor(u"/data/Samples/"_s).toLocalFile(), u"/data/Samples/"_s);
    }

    void helpMenuReachesTheShellAndTheContactMessage()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.findChild<QAction *>(u"m16"_s)->trigger();
        QCOMPARE(f.prompts.messages.size(), 1);
        form.findChild<QAction *>(u"m20"_s)->trigger();
        form.findChild<QAction *>(u"m21"_s)->trigger();
        form.findChild<QAction *>(u"m18"_s)->trigger();
        QCOMPARE(f.shell.opened.size(), 3);
        QVERIFY(f.shell.opened[0].contains(u"faq"_s));
        QCOMPARE(f.shell.opened[2], f.programFolder.path() + u"/Video/"_s);
    }

    void aTargetTheDesktopCannotOpenIsReportedOnce()
    {
        FormFixture f;
        Form1 &form = f.make();
        f.shell.fails = true;
        form.findChild<QAction *>(u"m20"_s)->trigger();
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages[0].style, MessageStyle::OkExclamation);
        QVERIFY(f.prompts.messages[0].text.startsWith(u"The FAQ page could not be opened"_s));
        QVERIFY(f.prompts.messages[0].text.endsWith(u"\n"_s + WebAddresses::faqPage()));
        f.shell.fails = false;
        form.findChild<QAction *>(u"m21"_s)->trigger();
        QCOMPARE(f.prompts.messages.size(), 1);
    }

    void theDesktopOpenerIsWatchedWithoutWaiting()
    {
        int failures = 0;
        DesktopShellOpen givesUp(QByteArrayLiteral("false"));
        givesUp.open(u"/nowhere/demo.webm"_s, [&failures] { ++failures; });
        QCOMPARE(failures, 0); // told later, from the event loop
        QTRY_COMPARE(failures, 1);

        DesktopShellOpen opens(QByteArrayLiteral("true"));
        opens.open(u"https://www.tenvara.example/"_s, [&failures] { ++failures; });
        QTest::qWait(500);
        QCOMPARE(failures, 1);

        DesktopShellOpen missing(QByteArrayLiteral("no-such-opener-anywhere"));
        missing.open(u"/nowhere/"_s, [&failures] { ++failures; });
        QCOMPARE(failures, 2);
        missing.open(u"/nowhere/"_s, {}); // nobody to tell
        QCOMPARE(failures, 2);
    }

    void whatTheOpenerSaysGoesToTheLogNotToStandardError()
    {
        QTemporaryDir dir;
        const QString opener = dir.filePath(u"opener"_s);
        QFile script(opener);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"tried www-browser for $1\"\necho 'no method available' >&2\nexit 3\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        static QStringList logged;
        logged.clear();
        QLoggingCategory::setFilterRules(u"corvane.shell.debug=true"_s);
        const QtMessageHandler previous
            = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context, const QString &message) {
                  if (QByteArray(context.category) == "corvane.shell")
                      logged << message;
              });
        int failures = 0;
        DesktopShellOpen shell(QFile::encodeName(opener));
        shell.open(u"https://www.tenvara.example/faq/"_s, [&failures] { ++failures; });
        QTRY_COMPARE(failures, 1);
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(logged.size(), 2);
        QVERIFY2(logged[0].contains(u"tried www-browser for https://www.tenvara.example/faq/"_s),
                 qPrintable(logged[0]));
        QVERIFY2(logged[1].contains(u"no method available"_s), qPrintable(logged[1]));
    }

    void aShortMessageLeavesItsFrameRoomForTheTitle()
    {
        QMessageBox box;
        QtPrompts::setUpMessageBox(box, u"Done."_s, MessageStyle::Ok, u"Corvane"_s);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QFontMetrics metrics = box.fontMetrics();
        // The title, and the frame's icon and buttons beside it, fit.
        QVERIFY2(box.width() >= metrics.horizontalAdvance(u"Corvane"_s) + 20 * metrics.averageCharWidth(),
                 qPrintable(QString::number(box.width())));
        box.close();
    }

    void aMessageThatFitsTheScreenKeepsItsAddressOnOneLine()
    {
        // Shown, never run: nothing waits for an answer.
        QMessageBox box;
        QtPrompts::setUpMessageBox(box, u"Questions? Please contact Team Tenvara at "_s + WebAddresses::contactPage(),
                                   MessageStyle::Ok, u"Corvane"_s);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto *label = box.findChild<QLabel *>(u"qt_msgbox_label"_s);
        QVERIFY(label);
        QVERIFY2(label->height() < 2 * label->fontMetrics().lineSpacing(),
                 qPrintable(QString::number(label->height())));
        QVERIFY(label->textInteractionFlags() & Qt::TextSelectableByMouse);
        box.close();
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
