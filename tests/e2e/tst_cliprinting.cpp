// End to end: corvane-print with the real LibreOffice and the private CUPS server.
#include "commandrun.h"
#include "printedjobs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString environment(const char *name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

QString workbook(const QString &name)
{
    return environment("CORVANE_E2E_DIR") + u"/workbooks/"_s + name;
}

bool oursRunning()
{
    const auto processes = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : processes) {
        QFile commandLine(u"/proc/"_s + pid + u"/cmdline"_s);
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains("--accept=pipe,name=corvane-"))
            return true;
    }
    return false;
}

bool someoneElsesRunning()
{
    const auto processes = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : processes) {
        QFile commandLine(u"/proc/"_s + pid + u"/cmdline"_s);
        QFile name(u"/proc/"_s + pid + u"/comm"_s);
        if (commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains("name=someone-elses")
            && name.open(QIODevice::ReadOnly) && name.readAll().startsWith("soffice.bin"))
            return true;
    }
    return false;
}

} // namespace

class CommandLinePrintingTest final : public QObject
{
    Q_OBJECT

private:
    PrintedJobs m_jobs{environment("CORVANE_E2E_DIR") + u"/cups"_s};

    QStringList newJobs(int before, int count) { return m_jobs.waitForTexts(u"Second"_s, before + count).mid(before); }

private Q_SLOTS:
    void aTreeByExtensionPrintsOneJobPerWorkbookInWalkOrder()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + u"/B"_s);
        QDir().mkpath(dir.path() + u"/A"_s);
        QFile::copy(workbook(u"grouped.xlsx"_s), dir.path() + u"/B/b.xlsx"_s);
        QFile::copy(workbook(u"three-sheets.xlsx"_s), dir.path() + u"/A/a.xlsx"_s);
        QFile::copy(workbook(u"two-sheets.ods"_s), dir.path() + u"/A/skipped.ods"_s);
        QFile::copy(workbook(u"legacy.xls"_s), dir.path() + u"/~lock.xlsx"_s);
        QFile::copy(workbook(u"two-sheets.ods"_s), dir.path() + u"/top.ods"_s);

        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run = CommandRun::of({u"--printer"_s, u"Second"_s, u"--extension"_s, u"xlsx"_s, dir.path()});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QCOMPARE(run.out, u"Done.\nPrinted 2 of 2 workbooks on Second; 0 failed.\n"_s);
        const QStringList jobs = newJobs(before, 2);
        QCOMPARE(jobs.size(), 2);
        QVERIFY2(jobs[0].contains(u"BRAVO-TEXT"_s), qPrintable(jobs[0]));
        QVERIFY2(jobs[1].contains(u"GROUP-ONE"_s), qPrintable(jobs[1]));
    }

    void allSheetsPrintsEverySheet()
    {
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run = CommandRun::of({u"-a"_s, u"-p"_s, u"Second"_s, workbook(u"two-sheets.ods"_s)});
        QCOMPARE(run.exitCode, 0);
        const QStringList jobs = newJobs(before, 1);
        QCOMPARE(jobs.size(), 1);
        QVERIFY(jobs[0].contains(u"ONE-TEXT"_s) && jobs[0].contains(u"TWO-TEXT"_s));
    }

    void aBadFileIsReportedAndTheOthersStillPrint()
    {
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run = CommandRun::of(
            {u"-p"_s, u"Second"_s, workbook(u"protected.xlsx"_s), workbook(u"three-sheets.xlsx"_s)});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count(u"Application Error: "_s), 5);
        QVERIFY2(run.err.contains(u"password"_s), qPrintable(run.err));
        QVERIFY(run.err.contains(u"\nin Corvane5/20/2014.Form1.Start at line 116\n"_s));
        QVERIFY(run.out.endsWith(u"Printed 1 of 2 workbooks on Second; 1 failed.\n"_s));
        QCOMPARE(newJobs(before, 1).size(), 1);
    }

    void theUsersOfficeStopsAnUnattendedRunUnlessToldYes()
    {
        QTemporaryDir profile;
        // The start script, not the office itself: a new profile makes the
        // office ask for a restart, which only the script's starter handles.
        QProcess office;
        office.setChildProcessModifier([] { ::setpgid(0, 0); });
        office.start(u"/usr/lib/libreoffice/program/soffice"_s,
                     {u"-env:UserInstallation=file://"_s + profile.path(), u"--headless"_s, u"--invisible"_s,
                      u"--norestore"_s, u"--nologo"_s, u"--accept=pipe,name=someone-elses;urp;"_s});
        QVERIFY(office.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(someoneElsesRunning(), 30000);

        const CommandRun declined = CommandRun::of({u"-p"_s, u"Second"_s, workbook(u"two-sheets.ods"_s)});
        QCOMPARE(declined.exitCode, 2);
        QVERIFY2(declined.err.contains(u"LibreOffice may be open."_s), qPrintable(declined.err));

        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun yes = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, workbook(u"two-sheets.ods"_s)});
        QCOMPARE(yes.exitCode, 0);
        QCOMPARE(newJobs(before, 1).size(), 1);
        QVERIFY(someoneElsesRunning());
        ::kill(-pid_t(office.processId()), SIGKILL);
        office.waitForFinished();
    }

    void anInterruptEndsTheRunAndLeavesNothingBehind()
    {
        const QStringList foldersBefore = QDir(QDir::tempPath()).entryList({u"corvane-*"_s}, QDir::Dirs);
        QProcess process;
        process.start(QStringLiteral(CORVANE_PRINT_BINARY),
                      {u"-p"_s, u"Second"_s, workbook(u"three-sheets.xlsx"_s), workbook(u"two-sheets.ods"_s),
                       workbook(u"legacy.xls"_s)});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(oursRunning(), 30000);
        ::kill(pid_t(process.processId()), SIGINT);
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 130);
        QVERIFY(!oursRunning());
        const QStringList foldersAfter = QDir(QDir::tempPath()).entryList({u"corvane-*"_s}, QDir::Dirs);
        QCOMPARE(foldersAfter, foldersBefore);
    }
};

QTEST_GUILESS_MAIN(CommandLinePrintingTest)
#include "tst_cliprinting.moc"
