// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: corvane-print with the real LibreOffice and the private CUPS server.
#include "e2e/officeleftovers.h"
#include "e2e/printedjobs.h"
#include "support/commandrun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdint>
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

// A one-sheet workbook in the flat OpenDocument format whose only cell says word.
bool writeFlatWorkbook(const QString &path, const QString &word)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\" "
          "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\"><office:body><office:spreadsheet>"
          "<table:table table:name=\"Sheet1\"><table:table-row><table:table-cell office:value-type=\"string\">"
          "<text:p>"
        + word.toUtf8()
        + "</text:p></table:table-cell></table:table-row></table:table></office:spreadsheet></office:body></"
          "office:document>\n";
    return file.write(text) == text.size();
}

// What became of each entry by a report: its last row's outcome, by path.
QMap<QString, QString> outcomes(const QStringList &rows)
{
    QMap<QString, QString> last;
    for (const QString &row : rows.mid(1)) {
        const QStringList fields = row.split(u',');
        if (fields.size() >= 3)
            last[fields[1]] = fields[2];
    }
    return last;
}

} // namespace

class CommandLinePrintingTest final : public QObject
{
    Q_OBJECT

private:
    PrintedJobs m_jobs{environment("CORVANE_E2E_DIR") + u"/cups"_s};

    QStringList newJobs(int before, int count) { return m_jobs.waitForTexts(u"Second"_s, before + count).mid(before); }

    enum class Until : std::uint8_t { Running, Answering };
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

    void aPrinterIsFoundInAnyCaseAndWithoutADefaultTheChoiceIsListed()
    {
        // CUPS takes queue names in any case, so a name that matches one queue so is that queue.
        const int before = int(m_jobs.files(u"Second"_s).size());
        CommandRun run = CommandRun::of({u"--yes"_s, u"-p"_s, u"sECOND"_s, workbook(u"two-sheets.ods"_s)});
        QCOMPARE(run.exitCode, 0);
        const QStringList jobs = newJobs(before, 1);
        QCOMPARE(jobs.size(), 1);
        QVERIFY(jobs[0].contains(u"ONE-TEXT"_s));

        // A default printer that is gone leaves the server without one.
        const auto lpadmin = [](const QStringList &arguments) {
            QProcess process;
            process.start(u"lpadmin"_s, arguments);
            return process.waitForFinished(30000) && process.exitCode() == 0;
        };
        QVERIFY(lpadmin({u"-p"_s, u"Spare"_s, u"-v"_s, u"corvanepdf:/nonexistent"_s}));
        QVERIFY(lpadmin({u"-d"_s, u"Spare"_s}));
        QVERIFY(lpadmin({u"-x"_s, u"Spare"_s}));
        run = CommandRun::of({u"--yes"_s, workbook(u"two-sheets.ods"_s)});
        QVERIFY(lpadmin({u"-d"_s, u"Office"_s}));
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(u"there is no default printer"_s) && run.err.contains(u"Office, Second"_s),
                 qPrintable(run.err));
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
            {u"--yes"_s, u"-p"_s, u"Second"_s, u"--copies"_s, u"2"_s, u"--collate"_s, u"--duplex"_s, u"long"_s, four});
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

    void workbooksPrintAndExportTheSheetTheyOpenOn_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("notShown");
        QTest::newRow("two sheets") << u"legacy.xls"_s << QStringList{u"LEGACY-TWO"_s} << QStringList{u"LEGACY-ONE"_s};
        QTest::newRow("six sheets, a chart, a print area, a header and a selection")
            << u"legacy-many.xls"_s << QStringList{u"DELTA-WORD"_s, u"HEADER-MARK"_s, u"FOOTER-MARK"_s}
            << QStringList{u"ALFA-WORD"_s, u"BETA-WORD"_s, u"GAMMA-WORD"_s, u"EPSILON-WORD"_s, u"ZETA-WORD"_s};
        QTest::newRow("a hidden first sheet") << u"legacy-hidden-first.xls"_s << QStringList{u"LAST-WORD"_s}
                                              << QStringList{u"HIDDEN-WORD"_s, u"SHOWN-WORD"_s};
        QTest::newRow("a template") << u"template.xltx"_s << QStringList{u"TEMPLATE-TWO"_s}
                                    << QStringList{u"TEMPLATE-ONE"_s};
    }
    void workbooksPrintAndExportTheSheetTheyOpenOn()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, notShown);
        const auto holdsTheActiveSheet = [&](const QString &text) {
            for (const QString &word : shown) {
                if (!text.contains(word))
                    return false;
            }
            for (const QString &word : notShown) {
                if (text.contains(word))
                    return false;
            }
            return true;
        };

        const int before = int(m_jobs.files(u"Second"_s).size());
        CommandRun run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, workbook(file)});
        QCOMPARE(run.exitCode, 0);
        const QStringList jobs = newJobs(before, 1);
        QCOMPARE(jobs.size(), 1);
        QVERIFY2(holdsTheActiveSheet(jobs[0]), qPrintable(jobs[0]));
        QCOMPARE(PrintedJobs::title(m_jobs.files(u"Second"_s).last()), file);

        QTemporaryDir out;
        run = CommandRun::of({u"--yes"_s, u"--pdf"_s, out.path(), workbook(file)});
        QCOMPARE(run.exitCode, 0);
        const QString pdf = out.filePath(QFileInfo(file).completeBaseName() + u".pdf"_s);
        QVERIFY2(holdsTheActiveSheet(PrintedJobs::text(pdf)), qPrintable(PrintedJobs::text(pdf)));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{QFileInfo(pdf).fileName()});
    }

    void aBlankFormPrintsOnPaperAndInThePdf()
    {
        // Borders and nothing else, on a page without header or footer.
        const QString form = workbook(u"bordered-form.xls"_s);
        const int before = int(m_jobs.files(u"Second"_s).size());
        CommandRun run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, form});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(newJobs(before, 1).size(), 1);
        QVERIFY(PrintedJobs::inked(m_jobs.files(u"Second"_s).last()));

        QTemporaryDir out;
        run = CommandRun::of({u"--yes"_s, u"--pdf"_s, out.path(), form});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(PrintedJobs::inked(out.filePath(u"bordered-form.pdf"_s)));
    }

    void aPageRangePastTheEndIsRefusedForPaperAndPdfAlike()
    {
        const QString four = workbook(u"four-pages.xlsx"_s);
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun printed = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--pages"_s, u"7,9-12"_s, four});
        QTemporaryDir out;
        const CommandRun exported
            = CommandRun::of({u"--yes"_s, u"--pdf"_s, out.path(), u"--pages"_s, u"7,9-12"_s, four});
        const QString report
            = u"Application Error: The pages asked for (7,9-12) are not there: what the workbook "
              u"prints has 4 pages; nothing was printed.\nin Corvane5/20/2014.Form1.Start at line 122\n"_s;
        QCOMPARE(printed.exitCode, 1);
        QVERIFY2(printed.err.contains(report), qPrintable(printed.err));
        QCOMPARE(exported.exitCode, 1);
        QVERIFY2(exported.err.contains(report), qPrintable(exported.err));
        QVERIFY(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
        QTest::qWait(1500);
        QCOMPARE(int(m_jobs.files(u"Second"_s).size()), before);
    }

    void anExplicitSidesChoiceWinsOverTheQueueDefault()
    {
        // The queue prints two-sided unless a job says otherwise.
        QCOMPARE(QProcess::execute(u"lpadmin"_s, {u"-p"_s, u"Second"_s, u"-o"_s, u"Duplex=DuplexNoTumble"_s}), 0);
        const QStringList oneSided{u"-p"_s, u"Second"_s, u"-o"_s, u"Duplex=None"_s};
        const auto restore = qScopeGuard([&oneSided] { QProcess::execute(u"lpadmin"_s, oneSided); });
        const QString four = workbook(u"four-pages.xlsx"_s);
        const QRegularExpression sides(u"(?:^|\\s)sides=(\\S+)"_s);

        int before = int(m_jobs.files(u"Second"_s).size());
        CommandRun run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--duplex"_s, u"off"_s, four});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(newJobs(before, 1).size(), 1);
        QString options = PrintedJobs::options(m_jobs.files(u"Second"_s).last());
        QCOMPARE(sides.match(options).captured(1), u"one-sided"_s);

        // A plain print asks for nothing: the queue's default holds.
        before = int(m_jobs.files(u"Second"_s).size());
        run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, four});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(newJobs(before, 1).size(), 1);
        options = PrintedJobs::options(m_jobs.files(u"Second"_s).last());
        QVERIFY2(!options.contains(u"sides=one-sided"_s) && !options.contains(u"Duplex=None"_s), qPrintable(options));
    }

    void aFullDiskIsSaidPlainlyAndLeavesNothingHalfWritten()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        QTemporaryDir dir;
        const QString tiny = dir.filePath(u"tiny"_s);
        QVERIFY(QDir().mkpath(tiny));
        if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=4k"_s, u"tmpfs"_s, tiny}) != 0)
            QSKIP("this machine does not let a file system be mounted");
        const auto unmount = qScopeGuard([&tiny] { QProcess::execute(u"umount"_s, {tiny}); });
        const CommandRun run = CommandRun::of({u"--yes"_s, u"--pdf"_s, tiny, workbook(u"four-pages.xlsx"_s)});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"No space left on device"_s), qPrintable(run.err));
        QVERIFY2(!run.err.contains(u".cxx"_s) && !run.err.contains(u"0x"_s) && !run.err.contains(u"file:"_s),
                 qPrintable(run.err));
        // The output folder only ever receives finished PDFs.
        QCOMPARE(QDir(tiny).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void aPausedOrRefusingQueueIsReportedInCupssWords()
    {
        const QString book = workbook(u"legacy.xls"_s);
        QCOMPARE(QProcess::execute(u"cupsdisable"_s, {u"-r"_s, u"toner low"_s, u"Second"_s}), 0);
        auto enable = qScopeGuard([] { QProcess::execute(u"cupsenable"_s, {u"Second"_s}); });
        const int before = int(m_jobs.files(u"Second"_s).size());
        CommandRun run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, book});
        QCOMPARE(run.exitCode, 0);
        const QRegularExpression waits(u"corvane-print: The queue \"Second\" is paused; job (\\d+) waits until it "
                                       u"is resumed. \\(\"toner low\"\\)\n"_s);
        const QRegularExpressionMatch waiting = waits.match(run.err);
        QVERIFY2(waiting.hasMatch(), qPrintable(run.err));
        QVERIFY2(run.out.endsWith(u"Printed 1 of 1 workbooks on Second; 0 failed.\n1 of the jobs wait in a paused "
                                  u"queue; they print once it is resumed.\n"_s),
                 qPrintable(run.out));
        // It waits, and prints once the queue goes on.
        QTest::qWait(1000);
        QCOMPARE(int(m_jobs.files(u"Second"_s).size()), before);
        enable.dismiss();
        QCOMPARE(QProcess::execute(u"cupsenable"_s, {u"Second"_s}), 0);
        QCOMPARE(newJobs(before, 1).size(), 1);
        QCOMPARE(QFileInfo(m_jobs.files(u"Second"_s).last()).baseName(), waiting.captured(1));

        QCOMPARE(QProcess::execute(u"cupsreject"_s, {u"-r"_s, u"maintenance"_s, u"Second"_s}), 0);
        const auto accept = qScopeGuard([] { QProcess::execute(u"cupsaccept"_s, {u"Second"_s}); });
        run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, book});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"Application Error: CUPS did not take the job for \"Second\": "_s)
                     && run.err.contains(u"not accepting jobs. (\"maintenance\")\nin Corvane5/20/2014.Form1.Start "
                                         u"at line 122\n"_s),
                 qPrintable(run.err));
    }

    void aBadFileIsReportedAndTheOthersStillPrint()
    {
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run = CommandRun::of(
            {u"--yes"_s, u"-p"_s, u"Second"_s, workbook(u"protected.xlsx"_s), workbook(u"three-sheets.xlsx"_s)});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err.count(u"Application Error: "_s), 5);
        // Named as every report of the opening step names its workbook.
        QVERIFY2(run.err.contains(u"password"_s)
                     && run.err.contains(u" (\""_s + workbook(u"protected.xlsx"_s) + u"\")\nin "_s),
                 qPrintable(run.err));
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

        // A link to nothing holds its name as a file does, and stays as it is.
        QVERIFY(QFile::link(dir.path() + u"/nowhere"_s, out + u"/two-sheets.pdf"_s));
        run = CommandRun::of({u"--yes"_s, u"--pdf"_s, out, workbook(u"two-sheets.ods"_s)}, noCups);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(PrintedJobs::text(out + u"/two-sheets (2).pdf"_s).contains(u"ONE-TEXT"_s));
        QCOMPARE(QFileInfo(out + u"/two-sheets.pdf"_s).symLinkTarget(), dir.path() + u"/nowhere"_s);
        QVERIFY(!QFileInfo::exists(dir.path() + u"/nowhere"_s));

        // Failures are the print step's.
        run = CommandRun::of({u"--yes"_s, u"--pdf"_s, out, workbook(u"empty-first.ods"_s)}, noCups);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"at line 122"_s), qPrintable(run.err));
    }

    void theOfficeRunsThePaperToolButNoSigningTool()
    {
        // Tools of the test's own come first on the PATH: the paper tool says
        // A5, and each signing tool leaves a mark when it runs.
        QTemporaryDir dir;
        const QString tools = dir.path() + u"/tools"_s;
        const QString mark = dir.path() + u"/a signing tool ran"_s;
        QVERIFY(QDir().mkpath(tools));
        const auto script = [&tools](const QString &name, const QByteArray &body) {
            QFile file(tools + u'/' + name);
            return file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + body) > 0
                && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        QVERIFY(script(u"paperconf"_s, "echo a5\n"));
        for (const QString &name : {u"gpgconf"_s, u"gpg"_s, u"gpgsm"_s, u"gpg2"_s})
            QVERIFY(script(name, "touch '" + QFile::encodeName(mark) + "'\nexit 1\n"));
        QProcessEnvironment withTools = QProcessEnvironment::systemEnvironment();
        withTools.insert(u"PATH"_s, tools + u':' + withTools.value(u"PATH"_s));

        const QString out = dir.path() + u"/out"_s;
        // Two offices at once and one at a time start their offices alike.
        for (const QString &jobs : {u"2"_s, u"1"_s}) {
            const CommandRun run = CommandRun::of({u"--yes"_s, u"--jobs"_s, jobs, u"--pdf"_s, out,
                                                   workbook(u"no-page-setup.xlsx"_s), workbook(u"two-sheets.ods"_s)},
                                                  withTools);
            QCOMPARE(run.exitCode, 0);
        }
        // A workbook that names no paper takes the system's.
        for (const QString &pdf : {u"/no-page-setup.pdf"_s, u"/no-page-setup (2).pdf"_s}) {
            QCOMPARE(PrintedJobs::pageSizes(out + pdf), QList<QSize>{QSize(420, 595)});
            QVERIFY(PrintedJobs::text(out + pdf).contains(u"PLAIN-TEXT"_s));
        }
        QVERIFY(PrintedJobs::text(out + u"/two-sheets.pdf"_s).contains(u"ONE-TEXT"_s));
        QVERIFY2(!QFileInfo::exists(mark), "the office ran a signing tool");
    }

    void theReportHasARowPerEntry()
    {
        QTemporaryDir dir;
        const QString odd = dir.path() + u"/Q1, \"final\".ods"_s;
        QVERIFY(QFile::copy(workbook(u"two-sheets.ods"_s), odd));
        const QString missing = dir.path() + u"/missing.xlsx"_s;
        const QString report = dir.path() + u"/run.csv"_s;
        const int before = int(m_jobs.files(u"Second"_s).size());
        const QStringList entries{workbook(u"legacy.xls"_s), missing, workbook(u"damaged.xlsx"_s), odd};
        const CommandRun run
            = CommandRun::of(QStringList{u"--yes"_s, u"-p"_s, u"Second"_s, u"--report"_s, report} + entries);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(newJobs(before, 2).size(), 2);
        // The job that CUPS printed for the entry, by its id.
        const QStringList jobFiles = m_jobs.files(u"Second"_s).mid(before);
        const QString firstJob = QFileInfo(jobFiles[0]).baseName();
        const QString lastJob = QFileInfo(jobFiles[1]).baseName();
        const QStringList rows = reportRows(report);
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows[0], u"entry,path,outcome,failed_line,failure,printer,cups_job_id,seconds"_s);
        QVERIFY2(rows[1].startsWith(u"1,"_s + workbook(u"legacy.xls"_s) + u",printed,,,Second,"_s + firstJob + u","_s),
                 qPrintable(rows[1]));
        QVERIFY2(rows[2].startsWith(u"2,"_s + missing + u",failed,116,\"The file \"\""_s + missing
                                    + u"\"\" does not exist.\",Second,,"_s),
                 qPrintable(rows[2]));
        QVERIFY2(rows[3].contains(u",failed,116,"_s), qPrintable(rows[3]));
        QVERIFY2(rows[4].startsWith(u"4,\""_s + QString(odd).replace(u"\""_s, u"\"\""_s) + u"\",printed,,,Second,"_s
                                    + lastJob + u","_s),
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

    void aRunKilledOnceAJobIsTakenIsRerunFromItsReportWithoutPrintingTwice_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::addColumn<int>("jobs");
        // The moment the server has printed the job, the report must have its row
        // already; and the moment the row is there, the workbook is still being closed.
        QTest::newRow("the job printed, one office") << u"printed"_s << 1;
        QTest::newRow("the job printed, two offices") << u"printed"_s << 2;
        QTest::newRow("the row written, one office") << u"row"_s << 1;
        QTest::newRow("the row written, two offices") << u"row"_s << 2;
    }

    void aRunKilledOnceAJobIsTakenIsRerunFromItsReportWithoutPrintingTwice()
    {
        QFETCH(QString, moment);
        QFETCH(int, jobs);
        QTemporaryDir dir;
        QStringList entries;
        for (int k = 1; k <= 5; ++k) {
            entries << dir.path() + u"/book%1.fods"_s.arg(k);
            QVERIFY(writeFlatWorkbook(entries.last(), u"KILLBOOK-%1-END"_s.arg(k)));
        }
        const int before = int(m_jobs.files(u"Second"_s).size());
        QStringList remaining = entries;
        QSet<QString> reportedJobs;
        for (int round = 1; !remaining.isEmpty(); ++round) {
            QVERIFY2(round <= 4, qPrintable(remaining.join(u' ')));
            const QString report = dir.path() + u"/run%1.csv"_s.arg(round);
            QProcess process;
            process.start(
                QStringLiteral(CORVANE_PRINT_BINARY),
                QStringList{u"--yes"_s, u"--jobs"_s, QString::number(jobs), u"-p"_s, u"Second"_s, u"--report"_s, report}
                    + remaining);
            QVERIFY(process.waitForStarted());
            // Killed in the first two rounds at the second workbook of the round.
            const bool kill = round <= 2 && remaining.size() >= 2;
            if (kill) {
                const auto reached = [&] {
                    if (moment == u"row"_s)
                        return outcomes(reportRows(report)).value(remaining[1]) == u"printed"_s;
                    return int(m_jobs.files(u"Second"_s).size()) - before >= entries.size() - remaining.size() + 2;
                };
                QElapsedTimer waited;
                waited.start();
                while (!reached() && process.state() == QProcess::Running && waited.elapsed() < 120000)
                    QThread::usleep(500);
                QVERIFY2(process.state() == QProcess::Running, "the run ended before the moment came");
                ::kill(pid_t(process.processId()), SIGKILL);
            }
            QVERIFY(process.waitForFinished(kill ? 10000 : 300000));
            QCOMPARE(process.exitStatus(), kill ? QProcess::CrashExit : QProcess::NormalExit);
            const QStringList rows = reportRows(report);
            const QMap<QString, QString> outcome = outcomes(rows);
            for (const QString &row : rows.mid(1)) {
                if (row.section(u',', 2, 2) == u"printed"_s)
                    reportedJobs.insert(row.section(u',', -2, -2));
            }
            if (kill && moment == u"printed"_s) {
                // Every job the server printed before the kill is in a report.
                for (const QString &file : m_jobs.files(u"Second"_s).mid(before))
                    QVERIFY2(reportedJobs.contains(QFileInfo(file).baseName()),
                             qPrintable(file + u"\n"_s + rows.join(u'\n')));
            }
            // The rerun rule: what the report does not show as printed was not handed over.
            QStringList next;
            for (const QString &entry : std::as_const(remaining)) {
                if (outcome.value(entry) != u"printed"_s)
                    next << entry;
            }
            QVERIFY2(next.size() < remaining.size() || !kill, qPrintable(rows.join(u'\n')));
            remaining = next;
        }
        // CUPS prints a queue's jobs in order: once the last has come out, so has any earlier one.
        const QStringList texts = newJobs(before, int(entries.size()));
        QCOMPARE(texts.size(), entries.size());
        for (int k = 1; k <= 5; ++k) {
            const QString word = u"KILLBOOK-%1-END"_s.arg(k);
            const auto count = std::count_if(texts.cbegin(), texts.cend(),
                                             [&word](const QString &text) { return text.contains(word); });
            QVERIFY2(count == 1, qPrintable(word + u" printed "_s + QString::number(count) + u" times"_s));
        }
        QCOMPARE(m_jobs.files(u"Second"_s).size() - before, entries.size());
        QCOMPARE(reportedJobs.size(), entries.size());
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

    void parallelOfficesHandTheJobsOverInListOrder()
    {
        QTemporaryDir dir;
        const QString report = dir.path() + u"/run.csv"_s;
        const QStringList entries{workbook(u"three-sheets.xlsx"_s), workbook(u"damaged.xlsx"_s),
                                  workbook(u"two-sheets.ods"_s),    workbook(u"legacy.xls"_s),
                                  workbook(u"grouped.xlsx"_s),      workbook(u"three-sheets.xlsx"_s)};
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run = CommandRun::of(
            QStringList{u"--yes"_s, u"--jobs"_s, u"3"_s, u"-p"_s, u"Second"_s, u"--report"_s, report} + entries);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.endsWith(u"Printed 5 of 6 workbooks on Second; 1 failed.\nFailed: "_s
                                  + workbook(u"damaged.xlsx"_s) + u'\n'),
                 qPrintable(run.out));
        // The damaged workbook's reports, at the lines of a run of one office at a time.
        QCOMPARE(run.err.count(u"corvane-print: entry 2 of 6: "_s + workbook(u"damaged.xlsx"_s) + u'\n'), 5);
        QVERIFY(run.err.contains(u"\nin Corvane5/20/2014.Form1.Start at line 116\n"_s));

        // What came out of the printer, in list order, each workbook its own sheet.
        const QStringList jobs = newJobs(before, 5);
        QCOMPARE(jobs.size(), 5);
        const QStringList words{u"BRAVO-TEXT"_s, u"ONE-TEXT"_s, u"LEGACY-TWO"_s, u"GROUP-ONE"_s, u"BRAVO-TEXT"_s};
        for (int k = 0; k < 5; ++k)
            QVERIFY2(jobs[k].contains(words[k]), qPrintable(u"job %1: "_s.arg(k + 1) + jobs[k]));
        QVERIFY(!jobs[1].contains(u"TWO-TEXT"_s) && !jobs[2].contains(u"LEGACY-ONE"_s));

        // The report in list order, each printed row with its own job, ids rising.
        const QStringList rows = reportRows(report);
        QCOMPARE(rows.size(), 7);
        int lastJob = 0;
        for (int k = 1; k <= 6; ++k) {
            const QStringList fields = rows[k].split(u',');
            QCOMPARE(fields[0], QString::number(k));
            QCOMPARE(fields[1], entries[k - 1]);
            if (k == 2) {
                QCOMPARE(fields[2], u"failed"_s);
                QCOMPARE(fields[3], u"116"_s);
                continue;
            }
            QCOMPARE(fields[2], u"printed"_s);
            const int job = rows[k].section(u',', -2, -2).toInt();
            QVERIFY2(job > lastJob, qPrintable(rows[k]));
            lastJob = job;
        }
    }

    void parallelPdfsTakeTheirNamesInListOrder()
    {
        // Two workbooks that both want the name "book.pdf": the first in the list gets it.
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + u"/first"_s);
        QDir().mkpath(dir.path() + u"/second"_s);
        QVERIFY(QFile::copy(workbook(u"three-sheets.xlsx"_s), dir.path() + u"/first/book.xlsx"_s));
        QVERIFY(QFile::copy(workbook(u"two-sheets.ods"_s), dir.path() + u"/second/book.ods"_s));
        const QString out = dir.path() + u"/out"_s;
        const CommandRun run
            = CommandRun::of({u"--yes"_s, u"--jobs"_s, u"2"_s, u"--pdf"_s, out, dir.path() + u"/first/book.xlsx"_s,
                              workbook(u"legacy.xls"_s), dir.path() + u"/second/book.ods"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(PrintedJobs::text(out + u"/book.pdf"_s).contains(u"BRAVO-TEXT"_s), qPrintable(run.err));
        QVERIFY(PrintedJobs::text(out + u"/book (2).pdf"_s).contains(u"ONE-TEXT"_s));
        QVERIFY(PrintedJobs::text(out + u"/legacy.pdf"_s).contains(u"LEGACY-TWO"_s));
    }

    void aStopWithTwoOfficesAtWorkEndsBothAndLeavesNothing_data()
    {
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("Ctrl+C: after the current workbook") << false;
        QTest::newRow("SIGTERM: at once") << true;
    }
    void aStopWithTwoOfficesAtWorkEndsBothAndLeavesNothing()
    {
        QFETCH(bool, atOnce);
        QTemporaryDir dir;
        const QString report = dir.path() + u"/run.csv"_s;
        const int before = int(m_jobs.files(u"Second"_s).size());
        QProcess process;
        process.start(QStringLiteral(CORVANE_PRINT_BINARY),
                      {u"--yes"_s, u"--jobs"_s, u"2"_s, u"-p"_s, u"Second"_s, u"--report"_s, report,
                       workbook(u"three-sheets.xlsx"_s), workbook(u"two-sheets.ods"_s), workbook(u"legacy.xls"_s),
                       workbook(u"grouped.xlsx"_s)});
        QVERIFY(process.waitForStarted());
        const qint64 pid = process.processId();
        QVERIFY(QTest::qWaitFor([&] { return OfficeLeftovers::processes(pid).size() >= 2; }, 30000));
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(pid), atOnce ? SIGTERM : SIGINT);
        QVERIFY(process.waitForFinished(30000));
        if (atOnce)
            QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(process.exitCode(), 130);
        QCOMPARE(OfficeLeftovers::of(pid), QStringList());
        const QStringList rows = reportRows(report);
        if (!atOnce) {
            // The workbook under way was printed and the run stopped there;
            // the one opened ahead was not printed.
            QVERIFY2(rows.size() >= 2 && rows.size() < 5, qPrintable(rows.join(u'\n')));
            QCOMPARE(int(rows.filter(u",printed,"_s).size()), int(rows.size()) - 1);
            QVERIFY2(rows[1].startsWith(u"1,"_s + workbook(u"three-sheets.xlsx"_s) + u",printed,"_s),
                     qPrintable(rows[1]));
            QVERIFY(newJobs(before, 1).value(0).contains(u"BRAVO-TEXT"_s));
        }
        // Nothing more reaches the printer than the report says was printed.
        QTest::qWait(1000);
        QCOMPARE(int(m_jobs.files(u"Second"_s).size()), before + int(rows.filter(u",printed,"_s).size()));
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
