// SPDX-License-Identifier: GPL-3.0-or-later
// The run's record: a workbook's row is there the moment its job was taken,
// later failures add to it, and its seconds count from its office's start.
#include "cli/runreport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace Qt::StringLiterals;

namespace {

// A report on a clock the test moves by hand.
struct Report
{
    QTemporaryDir dir;
    QString path = dir.filePath(u"run.csv"_s);
    qint64 clock = 1000;
    RunReport report{[this] { return clock; }};

    Report()
    {
        QString error;
        if (!report.open(path, error))
            qFatal("cannot open the report: %s", qPrintable(error));
    }

    // The rows written so far, header left out: what a killed run leaves.
    QStringList rows() const
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList all = QString::fromUtf8(file.readAll()).split(u"\r\n"_s, Qt::SkipEmptyParts);
        all.removeFirst();
        return all;
    }
};

} // namespace

class RunReportTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theRowIsOnDiskOnceTheJobIsTakenBeforeTheWorkbookIsDone()
    {
        Report r;
        r.report.workbookStarting(1, u"/a.xlsx"_s);
        r.clock += 250;
        r.report.jobAccepted(41, false, u"Office"_s);
        QCOMPARE(r.rows(), QStringList{u"1,/a.xlsx,printed,,,Office,41,0.25"_s});
        // Closing and quitting went well: nothing more to say.
        r.clock += 2000;
        r.report.workbookFinished(1, false, u"Office"_s);
        QCOMPARE(r.rows(), QStringList{u"1,/a.xlsx,printed,,,Office,41,0.25"_s});
    }

    void aFailureAfterThePrintAddsToThePrintedRow()
    {
        Report r;
        r.report.workbookStarting(1, u"/a.xlsx"_s);
        r.report.jobAccepted(7, false, u"Office"_s);
        r.clock += 1500;
        r.report.stepFailed(128, u"cannot close"_s, EngineError::Kind::Failed);
        r.report.stepFailed(130, u"cannot quit"_s, EngineError::Kind::Failed);
        r.report.workbookFinished(1, false, u"Office"_s);
        QCOMPARE(r.rows(),
                 (QStringList{u"1,/a.xlsx,printed,,,Office,7,0.00"_s,
                              u"1,/a.xlsx,printed,128,cannot close,Office,7,1.50"_s}));
    }

    void aWorkbookSentAsSeveralJobsIsPrintedInPartUntilTheLast()
    {
        Report r;
        r.report.workbookStarting(2, u"/mixed.xlsx"_s);
        r.report.jobAccepted(8, true, u"Office"_s);
        // Killed here, the record says what reached the printer, and that it is not all.
        QCOMPARE(r.rows(), QStringList{u"2,/mixed.xlsx,printed in part,,,Office,8,0.00"_s});
        r.report.jobAccepted(9, false, u"Office"_s);
        r.report.workbookFinished(2, false, u"Office"_s);
        QCOMPARE(r.rows().last(), u"2,/mixed.xlsx,printed,,,Office,8 9,0.00"_s);

        // A later job refused: the part stays printed, with the reason.
        Report refused;
        refused.report.workbookStarting(1, u"/mixed.xlsx"_s);
        refused.report.jobAccepted(8, true, u"Office"_s);
        refused.report.stepFailed(122, u"CUPS did not take the job"_s, EngineError::Kind::Failed);
        refused.report.workbookFinished(1, true, u"Office"_s);
        QCOMPARE(refused.rows().last(), u"1,/mixed.xlsx,printed in part,122,CUPS did not take the job,Office,8,0.00"_s);
    }

    void outcomesWithoutATakenJob()
    {
        Report r;
        r.report.workbookStarting(1, u"/missing.xlsx"_s);
        r.report.stepFailed(116, u"The file does not exist."_s, EngineError::Kind::Failed);
        r.report.stepFailed(118, u"skipped"_s, EngineError::Kind::Failed);
        r.report.workbookFinished(1, true, u"Office"_s);
        r.report.workbookStarting(2, u"/b.xlsx"_s);
        r.report.stepFailed(122, u"sent whole but not confirmed"_s, EngineError::Kind::MayHavePrinted);
        r.report.workbookFinished(2, true, u"Office"_s);
        r.report.workbookStarting(3, u"/c.xlsx"_s);
        r.report.workbookFinished(3, true, u"Office"_s);
        r.report.workbookStarting(4, u"/d.xlsx"_s);
        r.report.exported(u"/out/d.pdf"_s);
        r.report.workbookFinished(4, false, u"/out"_s);
        r.report.noWorkbook(u"/empty"_s, u"The folder holds no file to print."_s);
        QCOMPARE(r.rows(),
                 (QStringList{
                     u"1,/missing.xlsx,failed,116,The file does not exist.,Office,,0.00"_s,
                     u"2,/b.xlsx,may have printed,122,sent whole but not confirmed,Office,,0.00"_s,
                     u"3,/c.xlsx,failed,,Stopped before the workbook was done.,Office,,0.00"_s,
                     u"4,/d.xlsx,exported,,,/out/d.pdf,,0.00"_s,
                     u",/empty,no workbook,,The folder holds no file to print.,,,"_s,
                 }));
    }

    void secondsCountFromTheOfficeStartedAheadOfItsTurn()
    {
        Report r;
        // Entry 2's office starts on a worker thread while entry 1 prints.
        r.report.workbookStarting(1, u"/a.xlsx"_s);
        r.clock = 2000;
        std::thread ahead([&r] { r.report.officeStarting(2); });
        ahead.join();
        r.clock = 3000;
        r.report.jobAccepted(1, false, u"Office"_s);
        r.report.workbookFinished(1, false, u"Office"_s);
        // Its turn comes late, and laying it out ahead timed out.
        r.clock = 64000;
        r.report.workbookStarting(2, u"/b.xlsx"_s);
        r.clock = 64040;
        r.report.stepFailed(122, u"did not finish rendering the pages within 60 seconds"_s, EngineError::Kind::Failed);
        r.report.workbookFinished(2, true, u"Office"_s);
        QCOMPARE(r.rows().last(),
                 u"2,/b.xlsx,failed,122,did not finish rendering the pages within 60 seconds,Office,,62.04"_s);
        // An entry whose office starts in its turn counts from its turn.
        r.report.workbookStarting(3, u"/c.xlsx"_s);
        r.clock += 500;
        r.report.officeStarting(3);
        r.report.workbookFinished(3, true, u"Office"_s);
        QVERIFY2(r.rows().last().endsWith(u",0.50"_s), qPrintable(r.rows().last()));
    }
};

QTEST_GUILESS_MAIN(RunReportTest)
#include "tst_runreport.moc"
