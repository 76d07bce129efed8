// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: corvane-print with the real LibreOffice and the private CUPS server.
#include "commandrun.h"
#include "officeleftovers.h"
#include "printedjobs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <vector>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
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

    enum class Until { Running, Answering };
    // Every run but the one about it says yes to the "LibreOffice may be
    // open" question: others' offices may run on the machine.
    // Starts corvane-print and waits until its office runs, or answers; then
    // stops (SIGSTOP) that office when `hang` says so.
    [[nodiscard]] static bool startUntilOffice(QProcess &process, const QStringList &arguments, Until until, bool hang)
    {
        process.start(QStringLiteral(CORVANE_PRINT_BINARY), QStringList{u"--yes"_s} + arguments);
        if (!process.waitForStarted())
            return false;
        const qint64 pid = process.processId();
        const bool reached = QTest::qWaitFor(
            [&] {
                return until == Until::Answering ? OfficeLeftovers::answering(pid)
                                                 : !OfficeLeftovers::processes(pid).isEmpty();
            },
            30000);
        if (reached && hang)
            OfficeLeftovers::signalAll(pid, SIGSTOP);
        return reached;
    }

    // The report's rows, header first.
    static QStringList reportRows(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u"\r\n"_s, Qt::SkipEmptyParts);
    }

    QByteArray m_err;
    // Two Ctrl+C, the second once the first was seen: signals sent at once
    // may arrive as one.
    [[nodiscard]] bool interruptTwice(QProcess &process)
    {
        m_err.clear();
        ::kill(pid_t(process.processId()), SIGINT);
        const bool seen = QTest::qWaitFor(
            [&] { return (m_err += process.readAllStandardError()).contains("press Ctrl+C again"); }, 5000);
        ::kill(pid_t(process.processId()), SIGINT);
        return seen;
    }

    // Runs corvane-print on a terminal of its own, presses Ctrl+C there once
    // the question shows, and returns its exit status; `sinceCtrlC` times it.
    static int interruptTheQuestion(const QStringList &arguments, QElapsedTimer &sinceCtrlC)
    {
        QList<QByteArray> bytes{QByteArrayLiteral(CORVANE_PRINT_BINARY)};
        for (const QString &argument : arguments)
            bytes << QFile::encodeName(argument);
        std::vector<char *> argv;
        for (QByteArray &argument : bytes)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int terminal = -1;
        const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
        if (child < 0)
            return -1;
        if (child == 0) {
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        QByteArray shown;
        QElapsedTimer timer;
        timer.start();
        while (!shown.contains("[y/N] ") && timer.elapsed() < 60000) {
            pollfd output{terminal, POLLIN, 0};
            char buffer[512];
            if (::poll(&output, 1, 100) > 0) {
                const ssize_t got = ::read(terminal, buffer, sizeof buffer);
                if (got <= 0)
                    break;
                shown.append(buffer, got);
            }
        }
        sinceCtrlC.start();
        // What the terminal makes of Ctrl+C: SIGINT to the program.
        [[maybe_unused]] const ssize_t written = ::write(terminal, "\x03", 1);
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0 && sinceCtrlC.elapsed() < 10000) {
            char buffer[512];
            [[maybe_unused]] const ssize_t drained = ::read(terminal, buffer, sizeof buffer);
            QTest::qWait(20);
        }
        if (::waitpid(child, &status, WNOHANG) == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        ::close(terminal);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

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
        const CommandRun run
            = CommandRun::of({u"--yes"_s, u"--printer"_s, u"Second"_s, u"--extension"_s, u"xlsx"_s, dir.path()});
        QCOMPARE(run.exitCode, 0);
        // Nothing but the question, should someone else's office run now.
        const QString err = run.err.section(u"(yes, as --yes asks)\n"_s, -1);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QCOMPARE(run.out, u"Done.\nPrinted 2 of 2 workbooks on Second; 0 failed.\n"_s);
        const QStringList jobs = newJobs(before, 2);
        QCOMPARE(jobs.size(), 2);
        QVERIFY2(jobs[0].contains(u"BRAVO-TEXT"_s), qPrintable(jobs[0]));
        QVERIFY2(jobs[1].contains(u"GROUP-ONE"_s), qPrintable(jobs[1]));
    }

    void allSheetsPrintsEverySheet()
    {
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run
            = CommandRun::of({u"--yes"_s, u"-a"_s, u"-p"_s, u"Second"_s, workbook(u"two-sheets.ods"_s)});
        QCOMPARE(run.exitCode, 0);
        const QStringList jobs = newJobs(before, 1);
        QCOMPARE(jobs.size(), 1);
        QVERIFY(jobs[0].contains(u"ONE-TEXT"_s) && jobs[0].contains(u"TWO-TEXT"_s));
    }

    void aNulSeparatedListFromStandardInputPrintsInItsOrder()
    {
        QTemporaryDir dir;
        const QString odd = dir.path() + u"/line\nbreak.ods"_s;
        QVERIFY(QFile::copy(workbook(u"two-sheets.ods"_s), odd));
        const QByteArray input = QFile::encodeName(workbook(u"legacy.xls"_s)) + '\0' + QFile::encodeName(odd) + '\0';
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run
            = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--null"_s, u"--files-from"_s, u"-"_s},
                             QProcessEnvironment::systemEnvironment(), input);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, u"Done.\nPrinted 2 of 2 workbooks on Second; 0 failed.\n"_s);
        const QStringList jobs = newJobs(before, 2);
        QCOMPARE(jobs.size(), 2);
        QVERIFY2(jobs[0].contains(u"LEGACY-TWO"_s), qPrintable(jobs[0]));
        QVERIFY2(jobs[1].contains(u"ONE-TEXT"_s), qPrintable(jobs[1]));
    }

    void copiesPagesAndSidesReachThePrinter()
    {
        const QString four = workbook(u"four-pages.xlsx"_s);
        int before = int(m_jobs.files(u"Second"_s).size());
        CommandRun run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--pages"_s, u"2-3"_s, four});
        QCOMPARE(run.exitCode, 0);
        QStringList jobs = newJobs(before, 1);
        QCOMPARE(jobs.size(), 1);
        for (const QString &word : {u"PAGE-TWO"_s, u"PAGE-THREE"_s})
            QVERIFY2(jobs[0].contains(word), qPrintable(jobs[0]));
        QVERIFY2(!jobs[0].contains(u"PAGE-ONE"_s) && !jobs[0].contains(u"PAGE-FOUR"_s), qPrintable(jobs[0]));
        QVERIFY(PrintedJobs::options(m_jobs.files(u"Second"_s).last()).startsWith(u"copies=1\n"_s));

        // The copies are the job's: the printer system or the printer makes them.
        before = int(m_jobs.files(u"Second"_s).size());
        run = CommandRun::of(
            {u"-p"_s, u"Second"_s, u"--copies"_s, u"2"_s, u"--collate"_s, u"--duplex"_s, u"long"_s, four});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(newJobs(before, 1).size(), 1);
        const QString options = PrintedJobs::options(m_jobs.files(u"Second"_s).last());
        QVERIFY2(options.startsWith(u"copies=2\n"_s), qPrintable(options));
        QVERIFY2(options.contains(u" collate"_s) || options.startsWith(u"copies=2\ncollate"_s), qPrintable(options));
        QVERIFY2(options.contains(u"Duplex=DuplexNoTumble"_s), qPrintable(options));

        before = int(m_jobs.files(u"Second"_s).size());
        run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--duplex"_s, u"short"_s, four});
        QCOMPARE(newJobs(before, 1).size(), 1);
        QVERIFY(PrintedJobs::options(m_jobs.files(u"Second"_s).last()).contains(u"Duplex=DuplexTumble"_s));
    }

    void aBadFileIsReportedAndTheOthersStillPrint()
    {
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run = CommandRun::of(
            {u"--yes"_s, u"-p"_s, u"Second"_s, workbook(u"protected.xlsx"_s), workbook(u"three-sheets.xlsx"_s)});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count(u"Application Error: "_s), 5);
        QVERIFY2(run.err.contains(u"password"_s), qPrintable(run.err));
        QVERIFY(run.err.contains(u"\nin Corvane5/20/2014.Form1.Start at line 116\n"_s));
        QVERIFY(run.out.endsWith(u"Printed 1 of 2 workbooks on Second; 1 failed.\nFailed: "_s
                                 + workbook(u"protected.xlsx"_s) + u'\n'));
        // A log says which workbook each report belongs to.
        QCOMPARE(run.err.count(u"corvane-print: entry 1 of 2: "_s + workbook(u"protected.xlsx"_s) + u'\n'), 5);
        QVERIFY2(!run.err.contains(u".cxx"_s) && !run.err.contains(u"file://"_s), qPrintable(run.err));
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

        // Asked on a terminal, Ctrl+C ends the question and the program at once.
        QElapsedTimer asked;
        const int interrupted = interruptTheQuestion({u"-p"_s, u"Second"_s, workbook(u"two-sheets.ods"_s)}, asked);
        QCOMPARE(interrupted, 130);
        QVERIFY2(asked.elapsed() < 2000, qPrintable(QString::number(asked.elapsed())));

        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun yes = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, workbook(u"two-sheets.ods"_s)});
        QCOMPARE(yes.exitCode, 0);
        QCOMPARE(newJobs(before, 1).size(), 1);
        QVERIFY(someoneElsesRunning());

        // Stopped (Ctrl+Z), the user's office answers nobody; a run never waits for it.
        ::kill(-pid_t(office.processId()), SIGSTOP);
        QElapsedTimer timer;
        timer.start();
        const CommandRun beside = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, workbook(u"two-sheets.ods"_s),
                                                  workbook(u"legacy.xls"_s), workbook(u"three-sheets.xlsx"_s)});
        QCOMPARE(beside.exitCode, 0);
        QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(someoneElsesRunning());
        ::kill(-pid_t(office.processId()), SIGCONT);
        ::kill(-pid_t(office.processId()), SIGKILL);
        office.waitForFinished();
    }

    void anInterruptEndsTheRunAndLeavesNothingBehind()
    {
        QTemporaryDir dir;
        const QString report = dir.path() + u"/run.csv"_s;
        QProcess process;
        QVERIFY(startUntilOffice(process,
                                 {u"-p"_s, u"Second"_s, u"--report"_s, report, workbook(u"three-sheets.xlsx"_s),
                                  workbook(u"two-sheets.ods"_s), workbook(u"legacy.xls"_s)},
                                 Until::Running, false));
        const qint64 pid = process.processId();
        QVERIFY(interruptTwice(process));
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 130);
        QCOMPARE(OfficeLeftovers::of(pid), QStringList());
        // The report holds the workbook under way, and ends there.
        const QStringList rows = reportRows(report);
        QCOMPARE(rows.size(), 2);
        QVERIFY2(rows[1].startsWith(u"1,"_s + workbook(u"three-sheets.xlsx"_s)
                                    + u",failed,,Stopped before the workbook was done.,Second,,"_s),
                 qPrintable(rows[1]));
    }

    void pdfsAreWrittenWithoutAnyPrinterAndNeverOverwritten()
    {
        QTemporaryDir dir;
        const QString out = dir.path() + u"/out"_s;
        QProcessEnvironment noCups = QProcessEnvironment::systemEnvironment();
        noCups.insert(u"CUPS_SERVER"_s, u"/nonexistent/cups.sock"_s);
        CommandRun run = CommandRun::of({u"--yes"_s, u"--pdf"_s, out, workbook(u"three-sheets.xlsx"_s)}, noCups);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, u"Done.\nExported 1 of 1 workbooks to "_s + out + u"; 0 failed.\n"_s);
        const QString active = PrintedJobs::text(out + u"/three-sheets.pdf"_s);
        QVERIFY2(active.contains(u"BRAVO-TEXT"_s) && !active.contains(u"ALPHA-TEXT"_s), qPrintable(active));

        // The name is taken: a second file, every sheet in it; nothing half-written stays.
        run = CommandRun::of({u"--yes"_s, u"--pdf"_s, out, u"-a"_s, workbook(u"three-sheets.xlsx"_s)}, noCups);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(PrintedJobs::text(out + u"/three-sheets.pdf"_s), active);
        const QString all = PrintedJobs::text(out + u"/three-sheets (2).pdf"_s);
        for (const QString &word : {u"ALPHA-TEXT"_s, u"BRAVO-TEXT"_s, u"CHARLIE-TEXT"_s})
            QVERIFY2(all.contains(word), qPrintable(all));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"three-sheets (2).pdf"_s, u"three-sheets.pdf"_s}));

        // Failures are the print step's.
        run = CommandRun::of({u"--yes"_s, u"--pdf"_s, out, workbook(u"empty-first.ods"_s)}, noCups);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"at line 122"_s), qPrintable(run.err));
    }

    void theReportHasARowPerEntry()
    {
        QTemporaryDir dir;
        const QString odd = dir.path() + u"/Q1, \"final\".ods"_s;
        QVERIFY(QFile::copy(workbook(u"two-sheets.ods"_s), odd));
        const QString missing = dir.path() + u"/missing.xlsx"_s;
        const QString report = dir.path() + u"/run.csv"_s;
        const CommandRun run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--report"_s, report,
                                               workbook(u"legacy.xls"_s), missing, workbook(u"damaged.xlsx"_s), odd});
        QCOMPARE(run.exitCode, 1);
        const QStringList rows = reportRows(report);
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows[0], u"entry,path,outcome,failed_line,failure,printer,cups_job_id,seconds"_s);
        QVERIFY2(rows[1].startsWith(u"1,"_s + workbook(u"legacy.xls"_s) + u",printed,,,Second,,"_s),
                 qPrintable(rows[1]));
        QVERIFY2(rows[2].startsWith(u"2,"_s + missing + u",failed,116,\"The file \"\""_s + missing
                                    + u"\"\" does not exist.\",Second,,"_s),
                 qPrintable(rows[2]));
        QVERIFY2(rows[3].contains(u",failed,116,"_s), qPrintable(rows[3]));
        QVERIFY2(rows[4].startsWith(u"4,\""_s + QString(odd).replace(u"\""_s, u"\"\""_s) + u"\",printed,"_s),
                 qPrintable(rows[4]));
        const QString seconds = rows[4].section(u',', -1);
        QVERIFY2(seconds.toDouble() > 0, qPrintable(seconds));

        // On standard output the report is all there is; the result goes to standard error.
        const CommandRun toOutput
            = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--report"_s, u"-"_s, workbook(u"legacy.xls"_s)});
        QCOMPARE(toOutput.exitCode, 0);
        QCOMPARE(toOutput.out.count(u"\r\n"_s), 2);
        QVERIFY(toOutput.out.startsWith(u"entry,path,"_s));
        QVERIFY2(toOutput.err.contains(u"Done.\nPrinted 1 of 1"_s), qPrintable(toOutput.err));

        // Never written over a workbook of the run.
        const CommandRun over = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--report"_s, odd, odd});
        QCOMPARE(over.exitCode, 2);
        QVERIFY(QFileInfo(odd).size() == QFileInfo(workbook(u"two-sheets.ods"_s)).size());
    }

    void aSecondInterruptWhileTheOfficeStartsEndsAtOnce()
    {
        QProcess process;
        // Caught in its start-up: stopped before it could open its pipe.
        QVERIFY(startUntilOffice(
            process, {u"-p"_s, u"Second"_s, workbook(u"three-sheets.xlsx"_s), workbook(u"two-sheets.ods"_s)},
            Until::Running, true));
        const qint64 pid = process.processId();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(interruptTwice(process));
        QVERIFY(process.waitForFinished(10000));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(process.exitCode(), 130);
        QCOMPARE(OfficeLeftovers::of(pid), QStringList());
        QVERIFY(!m_err.contains("Application Error"));
    }

    void aTerminationRequestWhileTheOfficeHangsEndsWithinSeconds_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP, the terminal closed") << int(SIGHUP);
    }
    void aTerminationRequestWhileTheOfficeHangsEndsWithinSeconds()
    {
        QFETCH(int, signal);
        QProcess process;
        // Hung once it answers: the program is connected and waits for it.
        QVERIFY(startUntilOffice(process,
                                 {u"-p"_s, u"Second"_s, workbook(u"three-sheets.xlsx"_s), workbook(u"two-sheets.ods"_s),
                                  workbook(u"legacy.xls"_s)},
                                 Until::Answering, true));
        const qint64 pid = process.processId();
        QCOMPARE(process.state(), QProcess::Running);
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(pid), signal);
        QVERIFY(process.waitForFinished(10000));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(OfficeLeftovers::of(pid), QStringList());
    }

    void aHungOfficeIsCutOffAfterTheTimeoutGiven()
    {
        QProcess process;
        QVERIFY(startUntilOffice(process,
                                 {u"--timeout"_s, u"3"_s, u"-p"_s, u"Second"_s, workbook(u"three-sheets.xlsx"_s)},
                                 Until::Running, true));
        const qint64 pid = process.processId();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(err.contains(u"within 3 seconds"_s), qPrintable(err));
        QCOMPARE(OfficeLeftovers::of(pid), QStringList());
    }

    void aPrintServerThatStopsAnsweringCostsARunItsBoundsOnly_data()
    {
        QTest::addColumn<bool>("terminate");
        QTest::newRow("left to run") << false;
        QTest::newRow("told to stop") << true;
    }
    void aPrintServerThatStopsAnsweringCostsARunItsBoundsOnly()
    {
        QFETCH(bool, terminate);
        QFile pidFile(environment("CORVANE_E2E_DIR") + u"/cups/cupsd.pid"_s);
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const pid_t cupsd = pid_t(pidFile.readAll().trimmed().toInt());
        QVERIFY(cupsd > 0);
        // The tests' own print server hangs once the office answers: the
        // printer's name is checked before the print, and the office prints
        // through it. It must answer again whatever happens here.
        struct Resume
        {
            pid_t pid;
            ~Resume() { ::kill(pid, SIGCONT); }
        } resume{cupsd};
        QProcess process;
        QVERIFY(startUntilOffice(process,
                                 {u"--timeout"_s, u"20"_s, u"-p"_s, u"Second"_s, workbook(u"three-sheets.xlsx"_s)},
                                 Until::Answering, false));
        ::kill(cupsd, SIGSTOP);
        QElapsedTimer timer;
        timer.start();
        if (terminate) {
            QTest::qWait(1500);
            timer.start();
            ::kill(pid_t(process.processId()), SIGTERM);
        }
        const bool finished = process.waitForFinished(120000);
        const qint64 took = timer.elapsed();
        ::kill(cupsd, SIGCONT);
        QVERIFY(finished);
        QVERIFY2(took < (terminate ? 3000 : 45000), qPrintable(QString::number(took)));
        QCOMPARE(process.exitCode(), terminate ? 130 : 1);
        QCOMPARE(OfficeLeftovers::of(process.processId()), QStringList());
    }

    void aWorkbookThatNeedsTooMuchMemoryIsStoppedAndTheRunGoesOn()
    {
        // A few hundred bytes that LibreOffice makes a billion cells of.
        QTemporaryDir dir;
        const QString bomb = dir.path() + u"/bomb.fods"_s;
        QFile file(bomb);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Bomb">
<table:table-row table:number-rows-repeated="1048576"><table:table-cell table:number-columns-repeated="1024"
 office:value-type="float" office:value="1"><text:p>1</text:p></table:table-cell></table:table-row>
</table:table></office:spreadsheet></office:body></office:document>
)");
        file.close();

        const int before = int(m_jobs.files(u"Second"_s).size());
        QElapsedTimer timer;
        timer.start();
        const CommandRun run = CommandRun::of(
            {u"--yes"_s, u"--memory-limit"_s, u"600"_s, u"-p"_s, u"Second"_s, bomb, workbook(u"legacy.xls"_s)});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"LibreOffice needed more than 600 MB for this workbook and was stopped.\n"
                                  u"in Corvane5/20/2014.Form1.Start at line 116"_s),
                 qPrintable(run.err));
        QVERIFY2(run.out.contains(u"Printed 1 of 2 workbooks on Second; 1 failed."_s), qPrintable(run.out));
        QVERIFY2(timer.elapsed() < 120000, qPrintable(QString::number(timer.elapsed())));
        const QStringList jobs = newJobs(before, 1);
        QCOMPARE(jobs.size(), 1);
        QVERIFY2(jobs[0].contains(u"LEGACY-TWO"_s), qPrintable(jobs[0]));
    }

    void theOfficeOfAKilledProgramDiesWithIt()
    {
        const int before = int(m_jobs.files(u"Second"_s).size());
        QProcess process;
        // Held once it answers, so that it cannot finish the workbook before the kill.
        QVERIFY(startUntilOffice(process, {u"-p"_s, u"Second"_s, workbook(u"three-sheets.xlsx"_s)}, Until::Answering,
                                 true));
        const qint64 pid = process.processId();
        const QList<pid_t> offices = OfficeLeftovers::processes(pid);
        QVERIFY(!offices.isEmpty());
        ::kill(pid_t(pid), SIGKILL);
        QVERIFY(process.waitForFinished(5000));
        QElapsedTimer timer;
        timer.start();
        for (const pid_t office : offices)
            ::kill(office, SIGCONT);
        QTRY_VERIFY_WITH_TIMEOUT(OfficeLeftovers::processes(pid).isEmpty(), 2000);
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QTest::qWait(3000);
        QCOMPARE(int(m_jobs.files(u"Second"_s).size()), before);
    }

    void theOfficeOfAKilledProgramIsEndedByTheNextRun()
    {
        QProcess first;
        // Killed while its office has the workbook open and knows its pipes.
        QVERIFY(startUntilOffice(
            first, {u"-p"_s, u"Second"_s, workbook(u"three-sheets.xlsx"_s), workbook(u"two-sheets.ods"_s)},
            Until::Answering, false));
        const qint64 firstPid = first.processId();
        const QStringList pipes = OfficeLeftovers::recordedPipes(firstPid);
        QVERIFY(pipes.size() >= 2);
        ::kill(pid_t(firstPid), SIGKILL);
        QVERIFY(first.waitForFinished(5000));

        const CommandRun second = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, workbook(u"legacy.xls"_s)});
        QCOMPARE(second.exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(OfficeLeftovers::of(firstPid), QStringList(), 5000);
        for (const QString &pipe : pipes)
            QVERIFY2(!QFileInfo::exists(pipe) && !QFileInfo(pipe).isSymLink(), qPrintable(pipe));
    }
};

QTEST_GUILESS_MAIN(CommandLinePrintingTest)
#include "tst_cliprinting.moc"
