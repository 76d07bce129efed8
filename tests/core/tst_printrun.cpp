// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/errorreport.h"
#include "core/printing/printrun.h"
#include "core/printing/printrunview.h"
#include "core/printing/steprunner.h"
#include "support/fakeengine.h"
#include "support/fakeprompts.h"
#include "support/recordingview.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    FakeEngine engine;
    FakePrompts prompts;
    RecordingView view;
    DirectStepRunner runner;

    PrintRun::Summary start()
    {
        PrintRun run(engine, prompts, view, runner);
        run.Start();
        return run.summary();
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &m : prompts.messages)
            out << m.text;
        return out;
    }
    // The line numbers of the error reports, in order.
    QStringList reportedLines() const
    {
        QStringList out;
        for (const auto &m : prompts.messages) {
            if (m.title == u"Application Error"_s)
                out << m.text.section(u"at line "_s, 1).section(u'\r', 0, 0);
        }
        return out;
    }
};

} // namespace

class PrintRunTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anEmptyListSaysSo()
    {
        Run r;
        r.start();
        QCOMPARE(r.texts(), QStringList{u"No files added."_s});
        QCOMPARE(r.prompts.messages[0].title, u"Corvane"_s);
        QCOMPARE(r.prompts.messages[0].style, MessageStyle::Ok);
        QCOMPARE(r.view.progress, QList<double>{0});
        QCOMPARE(r.view.busy.first(), true);
        QCOMPARE(r.view.busy.last(), false);
        QVERIFY(r.engine.calls().isEmpty());
    }

    void theUsersOfficeIsAskedAboutFirst()
    {
        Run yes;
        yes.engine.userRunning = true;
        yes.prompts.yesNoAnswers = {MessageAnswer::Yes};
        yes.start();
        QCOMPARE(yes.texts(),
                 (QStringList{u"LibreOffice may be open. It is recommended that you close LibreOffice first.\rUse "
                              "System Monitor > soffice.bin if necessary.\r\n\r\nWould you like to proceed anyway?"_s,
                              u"No files added."_s}));
        QCOMPARE(yes.prompts.messages[0].style, MessageStyle::YesNo);

        Run no;
        no.engine.userRunning = true;
        no.view.entries = {u"/a.xlsx"_s};
        no.prompts.yesNoAnswers = {MessageAnswer::No};
        const PrintRun::Summary summary = no.start();
        QCOMPARE(no.prompts.messages.size(), 1);
        QVERIFY(summary.declined);
        QVERIFY(no.engine.calls().isEmpty());
        QCOMPARE(no.view.progress, QList<double>{0});
        QCOMPARE(no.view.busy.last(), false);
    }

    void aFailingLookForTheUsersOfficeCountsAsNone()
    {
        Run r;
        r.engine.userRunningFails = true;
        r.start();
        QCOMPARE(r.texts(), QStringList{u"No files added."_s});
    }

    void everyEntryPrintsInItsOwnInstanceInListOrder()
    {
        Run r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xls"_s, u"/a.xlsx"_s};
        const PrintRun::Summary summary = r.start();
        QCOMPARE(r.engine.calls(),
                 (QStringList{u"create#1"_s, u"open#1 /a.xlsx"_s, u"printsheet#1 Office"_s, u"close#1"_s, u"quit#1"_s,
                              u"end#1"_s, u"create#2"_s, u"open#2 /b.xls"_s, u"printsheet#2 Office"_s, u"close#2"_s,
                              u"quit#2"_s, u"end#2"_s, u"create#3"_s, u"open#3 /a.xlsx"_s, u"printsheet#3 Office"_s,
                              u"close#3"_s, u"quit#3"_s, u"end#3"_s}));
        QCOMPARE(r.texts(), QStringList{u"Done."_s});
        QCOMPARE(r.view.progress.size(), 4);
        QCOMPARE(r.view.progress[0], 100.0 / 3);
        QCOMPARE(r.view.progress[1], 200.0 / 3);
        QCOMPARE(r.view.progress[2], 100.0);
        QCOMPARE(r.view.progress[3], 0.0);
        QCOMPARE(summary.workbooks, 3);
        QCOMPARE(summary.failedWorkbooks, 0);
    }

    void allSheetsPrintsTheWorkbookAndNeitherOptionPrintsNothing()
    {
        Run all;
        all.view.entries = {u"/a.xlsx"_s};
        all.view.option1 = false;
        all.view.option2 = true;
        all.view.printer = u"Second"_s;
        all.start();
        QVERIFY(all.engine.calls().contains(u"printbook#1 Second"_s));

        Run neither;
        neither.view.entries = {u"/a.xlsx"_s};
        neither.view.option1 = false;
        neither.start();
        QCOMPARE(neither.engine.calls(),
                 (QStringList{u"create#1"_s, u"open#1 /a.xlsx"_s, u"close#1"_s, u"quit#1"_s, u"end#1"_s}));
        QCOMPARE(neither.texts(), QStringList{u"Done."_s});
    }

    void aWorkbookThatCannotOpenGivesFiveReportsAndTheRunGoesOn()
    {
        Run r;
        r.view.entries = {u"/missing.xlsx"_s, u"/b.xlsx"_s};
        r.engine.openFailures.insert(u"/missing.xlsx"_s, u"The file \"/missing.xlsx\" does not exist."_s);
        const PrintRun::Summary summary = r.start();
        QCOMPARE(r.reportedLines(), (QStringList{u"116"_s, u"118"_s, u"122"_s, u"128"_s, u"130"_s}));
        QCOMPARE(r.prompts.messages[0].text,
                 u"The file \"/missing.xlsx\" does not exist.\r\nin Corvane5/20/2014.Form1.Start at line 116\r\rPlease "
                 "email screenshot of this message to support@tenvara.example"_s);
        QCOMPARE(r.prompts.messages[0].style, MessageStyle::OkExclamation);
        // The instance started for the missing file ends before the next starts.
        const QStringList calls = r.engine.calls();
        QCOMPARE(calls.mid(0, 3), (QStringList{u"create#1"_s, u"open#1 /missing.xlsx"_s, u"end#1"_s}));
        QVERIFY(!calls.contains(u"quit#1"_s));
        QVERIFY(calls.contains(u"printsheet#2 Office"_s));
        QCOMPARE(r.texts().last(), u"Done."_s);
        QCOMPARE(summary.failedWorkbooks, 1);
        QCOMPARE(summary.failedSteps, 5);
    }

    void anEngineThatCannotStartIsReportedForEveryEntry()
    {
        Run r;
        r.engine.startFails = true;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s};
        r.view.option1 = false;
        r.view.option2 = true;
        r.start();
        QCOMPARE(r.reportedLines(),
                 (QStringList{u"116"_s, u"118"_s, u"126"_s, u"128"_s, u"130"_s, u"116"_s, u"118"_s, u"126"_s, u"128"_s,
                              u"130"_s}));
        QCOMPARE(r.texts().last(), u"Done."_s);
    }

    void aFailureOfAnyKindIsReportedAtItsStep()
    {
        Run r;
        r.engine.startThrowsForeign = true;
        r.view.entries = {u"/a.xlsx"_s};
        r.start();
        QCOMPARE(r.reportedLines(), (QStringList{u"116"_s, u"118"_s, u"122"_s, u"128"_s, u"130"_s}));
        QVERIFY2(r.prompts.messages[0].text.startsWith(u"The step failed for a reason that was not given.\r\n"_s),
                 qPrintable(r.prompts.messages[0].text));
        QCOMPARE(r.texts().last(), u"Done."_s);
    }

    void aFailingPrintStillClosesAndQuits()
    {
        Run r;
        r.view.entries = {u"/a.xlsx"_s};
        r.view.printer = u"Gone"_s;
        r.start();
        QCOMPARE(r.reportedLines(), QStringList{u"122"_s});
        QVERIFY(r.prompts.messages[0].text.startsWith(u"There is no printer named \"Gone\".\r\n"_s));
        QCOMPARE(r.engine.calls().mid(2), (QStringList{u"printsheet#1 Gone"_s, u"close#1"_s, u"quit#1"_s, u"end#1"_s}));
    }

    void aFailingCloseIsReportedAndTheInstanceStillQuits()
    {
        Run r;
        r.view.entries = {u"/a.xlsx"_s};
        r.engine.closeFailures.insert(u"/a.xlsx"_s);
        r.start();
        QCOMPARE(r.reportedLines(), QStringList{u"128"_s});
        QVERIFY(r.engine.calls().contains(u"quit#1"_s));
    }

    void aFailureAfterThePrintIsReportedButLeavesTheWorkbookPrinted()
    {
        // Its job is with the printer: rerunning the failed ones must not print it again.
        Run r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s};
        r.engine.closeFailures.insert(u"/a.xlsx"_s);
        const PrintRun::Summary summary = r.start();
        QCOMPARE(r.reportedLines(), QStringList{u"128"_s});
        QCOMPARE(summary.failedSteps, 1);
        QCOMPARE(summary.failedWorkbooks, 0);
        QVERIFY(summary.failedPaths.isEmpty());
        QCOMPARE(r.view.events,
                 (QStringList{u"failed 128: cannot close"_s, u"finished 1 printed"_s, u"finished 2 printed"_s}));

        // A print that failed still fails its workbook, whatever follows.
        Run failing;
        failing.view.entries = {u"/a.xlsx"_s};
        failing.view.printer = u"Gone"_s;
        failing.engine.closeFailures.insert(u"/a.xlsx"_s);
        QCOMPARE(failing.start().failedPaths, QStringList{u"/a.xlsx"_s});
    }

    void aStopBeforeTheNextWorkbookEndsTheRunQuietly()
    {
        Run r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s};
        r.view.stopAfter = 1;
        const PrintRun::Summary summary = r.start();
        QVERIFY(summary.stopped);
        QCOMPARE(summary.workbooks, 1);
        QVERIFY(r.prompts.messages.isEmpty());
        QCOMPARE(r.view.progress.last(), 0.0);
        QCOMPARE(r.view.busy.last(), false);
    }

    void aStopAtOnceEndsTheInstanceAndShowsNothingMore()
    {
        // While a workbook that cannot be opened fails: not even that report.
        Run failing;
        failing.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s};
        failing.engine.openFailures.insert(u"/b.xlsx"_s, u"stopped"_s);
        failing.view.stopNowWhen = [&failing] { return failing.engine.calls().contains(u"open#2 /b.xlsx"_s); };
        const PrintRun::Summary stopped = failing.start();
        QVERIFY(stopped.stopped);
        QVERIFY(failing.prompts.messages.isEmpty());
        QCOMPARE(stopped.failedPaths, QStringList{u"/b.xlsx"_s});
        QVERIFY(!failing.engine.calls().contains(u"open#3 /c.xlsx"_s));
        QCOMPARE(failing.view.progress.last(), 0.0);
        QCOMPARE(failing.view.busy.last(), false);

        // In the middle of an open workbook: it is neither closed nor quit, but ended.
        Run printing;
        printing.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s};
        printing.view.stopNowWhen = [&printing] { return printing.engine.calls().contains(u"printsheet#1 Office"_s); };
        printing.start();
        const QStringList calls = printing.engine.calls();
        QVERIFY(calls.contains(u"end#1"_s));
        QVERIFY(!calls.contains(u"close#1"_s) && !calls.contains(u"quit#1"_s));
        QVERIFY(printing.prompts.messages.isEmpty());
    }

    void aWorkbookWhosePrintWasHandedOverCountsAsPrintedWhenStopped()
    {
        // Stopped once its job is with the printer system: rerunning the
        // failed entries must not print it twice.
        Run r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s};
        r.view.stopNowWhen = [&r] { return r.engine.calls().contains(u"printsheet#1 Office"_s); };
        const PrintRun::Summary summary = r.start();
        QVERIFY(summary.stopped);
        QCOMPARE(summary.workbooks, 1);
        QCOMPARE(summary.failedWorkbooks, 0);
        QVERIFY(summary.failedPaths.isEmpty());
        QCOMPARE(r.view.events, QStringList{u"finished 1 printed"_s});

        // Stopped while its print call was under way: not printed.
        Run during;
        during.view.entries = {u"/a.xlsx"_s};
        during.view.printer = u"Gone"_s;
        during.view.stopNowWhen = [&during] { return during.engine.calls().contains(u"printsheet#1 Gone"_s); };
        QCOMPARE(during.start().failedPaths, QStringList{u"/a.xlsx"_s});
    }

    void anEntryThatCannotBeReadNeverPrintsThePreviousOne()
    {
        Run r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s};
        // The second entry is gone by the time line 112 reads it.
        r.view.onProgress = [&r] {
            if (r.view.progress.size() == 2)
                r.view.entries.removeLast();
        };
        r.start();
        QCOMPARE(r.reportedLines(), (QStringList{u"112"_s, u"116"_s, u"118"_s, u"122"_s, u"128"_s, u"130"_s}));
        const QStringList calls = r.engine.calls();
        QCOMPARE(calls.filter(u"open#"_s), QStringList{u"open#1 /a.xlsx"_s});
        QCOMPARE(r.texts().last(), u"Done."_s);
    }

    void theFailedWorkbooksAreNamedInTheSummary()
    {
        Run r;
        r.view.entries = {u"/a.xlsx"_s, u"/missing.xlsx"_s, u"/c.xlsx"_s, u"/bad.xlsx"_s};
        r.engine.openFailures.insert(u"/missing.xlsx"_s, u"gone"_s);
        r.engine.printFailures.insert(u"/bad.xlsx"_s);
        const PrintRun::Summary summary = r.start();
        QCOMPARE(summary.failedPaths, (QStringList{u"/missing.xlsx"_s, u"/bad.xlsx"_s}));
        QCOMPARE(summary.failedWorkbooks, 2);
        QVERIFY(r.texts().contains(u"This step was skipped because the workbook could not be opened.\r\nin "
                                   "Corvane5/20/2014.Form1.Start at line 118\r\rPlease email screenshot of this "
                                   "message to support@tenvara.example"_s));
    }

    void theViewHearsEveryFailureAndTheEndOfEveryWorkbook()
    {
        Run r;
        r.view.entries = {u"/a.xlsx"_s, u"/missing.xlsx"_s, u"/c.xlsx"_s};
        r.engine.openFailures.insert(u"/missing.xlsx"_s, u"gone"_s);
        r.start();
        QStringList events;
        for (const QString &event : std::as_const(r.view.events))
            events << event.section(u':', 0, 0);
        QCOMPARE(events,
                 (QStringList{u"finished 1 printed"_s, u"failed 116"_s, u"failed 118"_s, u"failed 122"_s,
                              u"failed 128"_s, u"failed 130"_s, u"finished 2 failed"_s, u"finished 3 printed"_s}));
        QCOMPARE(r.view.events.at(1), u"failed 116: gone"_s);

        // A stop at once ends the workbook under way as failed, and nothing after it.
        Run stopped;
        stopped.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s};
        stopped.view.stopNowWhen = [&stopped] { return stopped.engine.calls().contains(u"open#2 /b.xlsx"_s); };
        stopped.start();
        QCOMPARE(stopped.view.events, (QStringList{u"finished 1 printed"_s, u"finished 2 failed"_s}));
    }

    void theReportTextIsFixed()
    {
        QCOMPARE(ErrorReport::text(u"Boom"_s, u"in Corvane5/20/2014.Form1.listPrinters "_s, 100),
                 u"Boom\r\nin Corvane5/20/2014.Form1.listPrinters at line 100\r\rPlease email screenshot of this "
                 "message to support@tenvara.example"_s);
    }
};

QTEST_GUILESS_MAIN(PrintRunTest)
#include "tst_printrun.moc"
