// SPDX-License-Identifier: GPL-3.0-or-later
// A print run with several instances at once: the same outcomes, in the same
// order, as one at a time, and no instance outlives the run.
#include "core/printing/pipelinedengine.h"
#include "core/printing/printrun.h"
#include "core/printing/steprunner.h"
#include "support/fakeengine.h"
#include "support/fakeprompts.h"
#include "support/recordingview.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;

namespace {

struct Outcome
{
    QStringList messages;
    QStringList events;
    PrintRun::Summary summary;
    // The workbooks in the order their print calls were made.
    QStringList printed;
};

// A run of the entries on a fake engine, plain (instances 1) or with that
// many instances at once; `script` sets the engine and the view up.
struct PipelinedRun
{
    FakeEngine engine;
    FakePrompts prompts;
    RecordingView view;
    DirectStepRunner runner;

    Outcome start(int instances)
    {
        Outcome outcome;
        {
            std::unique_ptr<PipelinedEngine> pipeline;
            if (instances > 1)
                pipeline = std::make_unique<PipelinedEngine>(
                    engine,
                    PipelinedEngine::Plan{view.entries, view.printer, view.option2 && !view.option1, instances, {}},
                    [this] { return engine.stopped.load(); });
            PrintRun run(pipeline ? static_cast<SpreadsheetEngine &>(*pipeline) : engine, prompts, view, runner);
            run.Start();
            outcome.summary = run.summary();
        }
        for (const auto &message : prompts.messages)
            outcome.messages << message.text;
        outcome.events = view.events;
        outcome.printed = printedPaths();
        return outcome;
    }

    QStringList printedPaths() const
    {
        QMap<QString, QString> pathOf; // instance id -> its workbook
        QStringList printed;
        for (const QString &call : engine.calls()) {
            const QString id = call.section(u' ', 0, 0).section(u'#', 1);
            if (call.startsWith(u"open#"_s))
                pathOf[id] = call.section(u' ', 1);
            else if (call.startsWith(u"print"_s))
                printed << pathOf.value(id);
        }
        return printed;
    }

    bool everyInstanceEnded() const
    {
        const QStringList calls = engine.calls();
        return calls.filter(u"create#"_s).size() == calls.filter(u"end#"_s).size() && engine.live == 0;
    }
};

} // namespace

class PipelinedEngineTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theRunHasTheOutcomesOfOneInstanceAtATime_data()
    {
        QTest::addColumn<int>("instances");
        QTest::addColumn<QString>("scenario");
        for (const int instances : {2, 3}) {
            for (const char *scenario : {"all print", "one cannot open", "none can start", "a foreign failure",
                                         "a print fails", "a close fails", "all sheets", "neither option"})
                QTest::addRow("%d instances, %s", instances, scenario) << instances << QString::fromLatin1(scenario);
        }
    }

    void theRunHasTheOutcomesOfOneInstanceAtATime()
    {
        QFETCH(int, instances);
        QFETCH(QString, scenario);
        const auto script = [&scenario](PipelinedRun &r) {
            r.view.entries = {u"/a.xlsx"_s, u"/b.xls"_s, u"/c.ods"_s, u"/d.xlsx"_s, u"/a.xlsx"_s};
            if (scenario == u"one cannot open"_s)
                r.engine.openFailures.insert(u"/b.xls"_s, u"The file is damaged."_s);
            else if (scenario == u"none can start"_s)
                r.engine.startFails = true;
            else if (scenario == u"a foreign failure"_s)
                r.engine.startThrowsForeign = true;
            else if (scenario == u"a print fails"_s)
                r.engine.printFailures.insert(u"/c.ods"_s);
            else if (scenario == u"a close fails"_s)
                r.engine.closeFailures.insert(u"/d.xlsx"_s);
            else if (scenario == u"all sheets"_s)
                r.view.option1 = false, r.view.option2 = true;
            else if (scenario == u"neither option"_s)
                r.view.option1 = false;
        };
        PipelinedRun plain;
        script(plain);
        const Outcome expected = plain.start(1);
        PipelinedRun pipelined;
        script(pipelined);
        const Outcome outcome = pipelined.start(instances);

        QCOMPARE(outcome.messages, expected.messages);
        QCOMPARE(outcome.events, expected.events);
        QCOMPARE(outcome.printed, expected.printed);
        QCOMPARE(outcome.summary.workbooks, expected.summary.workbooks);
        QCOMPARE(outcome.summary.failedWorkbooks, expected.summary.failedWorkbooks);
        QCOMPARE(outcome.summary.failedSteps, expected.summary.failedSteps);
        QCOMPARE(outcome.summary.failedPaths, expected.summary.failedPaths);
        QVERIFY(pipelined.everyInstanceEnded());
        QVERIFY2(pipelined.engine.mostLive <= instances, qPrintable(QString::number(pipelined.engine.mostLive)));
    }

    void theNextWorkbooksOpenWhileOnePrintsAndNeverMoreThanAllowed()
    {
        PipelinedRun r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s, u"/d.xlsx"_s, u"/e.xlsx"_s, u"/f.xlsx"_s};
        // /a's open ends only once /c's has begun: three instances at work together.
        r.engine.opensAfter.insert(u"/a.xlsx"_s, u"/c.xlsx"_s);
        r.engine.openDelayMs = 20;
        const Outcome outcome = r.start(3);
        QCOMPARE(outcome.printed, r.view.entries);
        QCOMPARE(outcome.summary.failedSteps, 0);
        QCOMPARE(r.engine.mostLive, 3);
        // Each instance laid its workbook's print out before the run printed it.
        const QStringList calls = r.engine.calls();
        for (int id = 1; id <= 6; ++id) {
            const qsizetype prepared = calls.indexOf(u"prepare#%1 Office"_s.arg(id));
            QVERIFY2(prepared >= 0 && prepared < calls.indexOf(u"printsheet#%1 Office"_s.arg(id)),
                     qPrintable(calls.join(u", "_s)));
        }
        QVERIFY(r.everyInstanceEnded());
    }

    void eachInstanceStartedAheadIsToldBeforeItsWorkbookOpens()
    {
        // What the report's seconds count from: the start ahead, not the turn.
        PipelinedRun r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s};
        // /a's open ends only once /c's has begun: /b and /c start while /a is still in its turn.
        r.engine.opensAfter.insert(u"/a.xlsx"_s, u"/c.xlsx"_s);
        const auto pipeline = std::make_unique<PipelinedEngine>(
            r.engine,
            PipelinedEngine::Plan{r.view.entries, r.view.printer, false, 3,
                                  [&r](int i) { r.engine.record(u"starting %1"_s.arg(i)); }},
            [] { return false; });
        PrintRun run(*pipeline, r.prompts, r.view, r.runner);
        run.Start();
        const QStringList calls = r.engine.calls();
        QCOMPARE(calls.filter(u"starting "_s), (QStringList{u"starting 1"_s, u"starting 2"_s, u"starting 3"_s}));
        const qsizetype firstPrint = calls.indexOf(u"printsheet#1 Office"_s);
        QVERIFY2(firstPrint >= 0, qPrintable(calls.join(u", "_s)));
        for (int i = 1; i <= 3; ++i) {
            const QString path = r.view.entries.at(i - 1);
            const qsizetype told = calls.indexOf(u"starting %1"_s.arg(i));
            const qsizetype opened
                = calls.indexOf(QRegularExpression(u"^open#\\d+ "_s + QRegularExpression::escape(path)));
            QVERIFY2(told >= 0 && told < opened, qPrintable(calls.join(u", "_s)));
            QVERIFY2(told < firstPrint, qPrintable(calls.join(u", "_s)));
        }
    }

    void aFailureWhileLayingOutAheadLeavesThePrintToItsTurn()
    {
        // Whatever the engine throws on a worker thread, the run goes on and prints.
        PipelinedRun r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s};
        r.engine.prepareThrows = true;
        const Outcome outcome = r.start(2);
        QCOMPARE(outcome.printed, r.view.entries);
        QCOMPARE(outcome.summary.failedSteps, 0);
        QVERIFY(r.everyInstanceEnded());
    }

    void aStopAfterTheCurrentWorkbookEndsTheInstancesOpenedAhead()
    {
        PipelinedRun r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s, u"/d.xlsx"_s};
        r.view.stopAfter = 1;
        // The workbooks opened ahead would take a minute: the stop must not wait for them.
        r.engine.opensAfter.insert(u"/a.xlsx"_s, u"/b.xlsx"_s);
        r.engine.openDelays = {{u"/b.xlsx"_s, 60000}, {u"/c.xlsx"_s, 60000}, {u"/d.xlsx"_s, 60000}};
        QElapsedTimer timer;
        timer.start();
        const Outcome outcome = r.start(2);
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(outcome.summary.stopped);
        QCOMPARE(outcome.printed, QStringList{u"/a.xlsx"_s});
        QCOMPARE(outcome.events, QStringList{u"finished 1 printed"_s});
        QVERIFY(r.everyInstanceEnded());
    }

    void aStopAtOnceWithTwoInstancesAtWorkEndsBoth()
    {
        PipelinedRun r;
        r.view.entries = {u"/a.xlsx"_s, u"/b.xlsx"_s, u"/c.xlsx"_s};
        // Both hang in their open until stopped, as by a termination request.
        r.engine.openDelayMs = 60000;
        r.view.stopNowWhen = [&r] { return r.engine.stopped.load(); };
        std::thread terminate([&r] {
            QElapsedTimer waited;
            waited.start();
            while (r.engine.calls().filter(u"open#"_s).size() < 2 && waited.elapsed() < 10000)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            r.engine.stopNow();
        });
        QElapsedTimer timer;
        timer.start();
        const Outcome outcome = r.start(2);
        terminate.join();
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(outcome.summary.stopped);
        QVERIFY(outcome.messages.isEmpty());
        QVERIFY(outcome.printed.isEmpty());
        QCOMPARE(r.engine.calls().filter(u"open#"_s).size(), 2);
        QVERIFY(r.everyInstanceEnded());
    }

    void anEntryOutOfTurnIsOpenedInAPlainInstance()
    {
        // The list the run reads differs from the one the instances were started for.
        FakeEngine engine;
        FakePrompts prompts;
        RecordingView view;
        DirectStepRunner runner;
        view.entries = {u"/a.xlsx"_s, u"/x.xlsx"_s};
        {
            PipelinedEngine pipeline(engine,
                                     PipelinedEngine::Plan{{u"/a.xlsx"_s, u"/b.xlsx"_s}, u"Office"_s, false, 2, {}},
                                     [] { return false; });
            PrintRun run(pipeline, prompts, view, runner);
            run.Start();
            QCOMPARE(run.summary().failedSteps, 0);
        }
        const QStringList calls = engine.calls();
        QVERIFY(calls.contains(u"open#3 /x.xlsx"_s) || calls.contains(u"open#2 /x.xlsx"_s));
        QCOMPARE(calls.filter(u"printsheet#"_s).size(), 2);
        QCOMPARE(calls.filter(u"create#"_s).size(), calls.filter(u"end#"_s).size());
    }
};

QTEST_GUILESS_MAIN(PipelinedEngineTest)
#include "tst_pipelinedengine.moc"
