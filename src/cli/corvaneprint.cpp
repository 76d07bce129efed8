// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/corvaneprint.h"

#include "cli/commandlineoptions.h"
#include "cli/mergedpdf.h"
#include "cli/pathlist.h"
#include "cli/terminalprintrunview.h"
#include "cli/terminalprompts.h"
#include "core/common/filenames.h"
#include "core/common/logcategories.h"
#include "core/filelist/folderwalk.h"
#include "core/printing/engineerror.h"
#include "core/printing/pipelinedengine.h"
#include "core/printing/printrun.h"
#include "core/printing/steprunner.h"
#include "engine/cups/cupsprintersystem.h"
#include "engine/libreoffice/libreofficeengine.h"
#include "engine/libreoffice/officeregistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int> interrupts{0};

// First Ctrl+C: the run ends once the current workbook's office has quit.
// Second Ctrl+C, a termination request or a closed terminal (SIGHUP): the
// offices are killed at once.
void onSignal(int signal)
{
    const int savedErrno = errno;
    const int count = ++interrupts;
    if (signal == SIGTERM || signal == SIGHUP || count >= 2) {
        interrupts = 2;
        OfficeRegistry::requestStop();
    } else {
        static const char notice[] = "\nStopping after the current workbook; press Ctrl+C again to stop at once.\n";
        [[maybe_unused]] const auto written = ::write(STDERR_FILENO, notice, sizeof(notice) - 1);
    }
    errno = savedErrno;
}

void installSignalHandlers()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted, so that no library call fails for the signal; every wait of
    // ours looks at the counter instead.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

void print(std::FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

// A folder of the list that gave no workbook, and why.
struct EmptyFolder
{
    QString path;
    QString reason;
};

// Files as given, folders expanded in place in walk order; the folders that
// gave nothing go to empty, so that no entry of the list vanishes unsaid.
QStringList resolve(const CommandLineOptions &options, std::vector<EmptyFolder> &empty)
{
    const QString pattern
        = options.extension.isEmpty() ? QStringLiteral("*.*") : QStringLiteral("*.") + options.extension;
    QStringList entries;
    for (const QString &path : options.paths) {
        struct stat info = {};
        const QByteArray native = FileNames::encode(path);
        if (::stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            entries.append(path);
            continue;
        }
        const QStringList found = AddFolder::CollectFiles(path, pattern);
        if (!found.isEmpty())
            entries.append(found);
        else if (::access(native.constData(), R_OK | X_OK) != 0)
            empty.push_back({path, QStringLiteral("The folder cannot be read.")});
        else if (options.extension.isEmpty())
            empty.push_back({path, QStringLiteral("The folder holds no file to print.")});
        else
            empty.push_back({path, QStringLiteral("The folder holds no .%1 file to print.").arg(options.extension)});
    }
    return entries;
}

void printEmptyFolders(std::FILE *stream, const std::vector<EmptyFolder> &empty)
{
    for (const EmptyFolder &folder : empty)
        print(stream, QStringLiteral("No workbook in: ") + folder.path);
}

// Whether two paths name one file; a file that is not there is no other's.
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

// The default printer, or none when there is none or no print server answers.
QString defaultPrinterIfAny(PrinterSystem &printers)
{
    try {
        return printers.defaultPrinterName();
    } catch (const EngineError &) {
        return {};
    }
}

// The printer list for a message that asks the user to pick one.
QString printerList(const QStringList &names)
{
    return names.isEmpty() ? QStringLiteral("(none)") : names.join(QStringLiteral(", "));
}

// The printer to print on, or an empty text after saying why there is none.
QString choosePrinter(PrinterSystem &printers, const QString &requested)
{
    try {
        if (requested.isEmpty()) {
            // Listed first: a server that does not answer says so here, and
            // without a default the user needs the names to choose from.
            const QStringList names = printers.printerNames();
            QString found = defaultPrinterIfAny(printers);
            if (found.isEmpty())
                print(stderr,
                      QStringLiteral("corvane-print: no printer given and there is no default printer; "
                                     "choose one with --printer NAME. The printers are: %1")
                          .arg(printerList(names)));
            return found;
        }
        const QStringList names = printers.printerNames();
        if (names.contains(requested))
            return requested;
        // CUPS itself takes queue names in any case; one that matches a single
        // queue so is that queue.
        QStringList alike;
        for (const QString &name : names) {
            if (name.compare(requested, Qt::CaseInsensitive) == 0)
                alike.append(name);
        }
        if (alike.size() == 1)
            return alike.first();
        print(stderr,
              QStringLiteral("corvane-print: there is no printer named \"%1\"; the printers are: %2")
                  .arg(requested, printerList(names)));
        return {};
    } catch (const EngineError &error) {
        if (OfficeRegistry::stopRequested())
            return {};
        print(stderr,
              (requested.isEmpty() ? QStringLiteral("corvane-print: no printer given and none to use: ")
                                   : QStringLiteral("corvane-print: the printers cannot be listed: "))
                  + error.description());
        return {};
    }
}

// A record that lost rows must not pass for a whole one: the user is told,
// and a run that went well otherwise fails.
int withReportChecked(const RunReport &report, const QString &target, int status)
{
    if (report.writeError().isEmpty())
        return status;
    print(stderr,
          QStringLiteral("corvane-print: the report \"%1\" is incomplete, a row could not be written: %2")
              .arg(target, report.writeError()));
    return status == 0 ? 1 : status;
}

} // namespace

int RunCorvanePrint(int &argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-print"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));

    // The paths' bytes as given: a name that is not valid UTF-8 still names its file.
    QStringList arguments;
    for (int k = 0; k < argc; ++k)
        arguments << FileNames::decode(argv[k]);
    CommandLineOptions options;
    QString message;
    int exitCode = 0;
    if (!CommandLineOptions::parse(arguments, options, message, exitCode)) {
        print(exitCode == 0 ? stdout : stderr, message.trimmed());
        return exitCode;
    }
    if (options.verbose) {
        // QT_LOGGING_RULES, read after these rules, can still turn single categories off.
        QLoggingCategory::setFilterRules(QStringLiteral("corvane.*.debug=true"));
        qSetMessagePattern(QStringLiteral("corvane-print: %{time process} %{category}: %{message}"));
    }

    std::vector<EmptyFolder> emptyFolders;
    const QStringList entries = resolve(options, emptyFolders);
    if (options.list) {
        const QByteArray text = PathList::write(entries, options.nullSeparated);
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    if (entries.isEmpty()) {
        print(stdout, QStringLiteral("No files added."));
        printEmptyFolders(stdout, emptyFolders);
        return 0;
    }

    std::unique_ptr<MergedPdf> merged;
    if (!options.mergePdf.isEmpty()) {
        for (const QString &entry : entries) {
            if (sameFile(entry, options.mergePdf)) {
                print(stderr,
                      QStringLiteral("corvane-print: the merged PDF \"%1\" is in the list of workbooks").arg(entry));
                return 2;
            }
        }
        merged = std::make_unique<MergedPdf>(options.mergePdf, options.force);
        QString error;
        if (!merged->prepare(error)) {
            print(stderr, QStringLiteral("corvane-print: ") + error);
            return 2;
        }
    }

    CupsPrinterSystem printers(CupsPrinterSystem::defaultBoundMs, [] { return OfficeRegistry::stopRequested(); });
    LibreOfficeEngine engine(printers, options.timeoutSeconds * 1000);
    // Set up before anything waits (the engine starts with no stop request):
    // a stop must end a look-up at the print server as much as an office's work.
    installSignalHandlers();
    engine.setPrintSettings(options.printSettings);
    if (options.memoryLimitMegabytes > 0)
        engine.setMemoryLimit(quint64(options.memoryLimitMegabytes) * 1024 * 1024);
    if (!engine.canCreateInstance()) {
        print(stderr, QStringLiteral("corvane-print: LibreOffice is not installed on this computer."));
        return 2;
    }
    // No office could start: said once, before any entry is tried.
    if (!engine.workspaceProblem().isEmpty()) {
        print(stderr, QStringLiteral("corvane-print: ") + engine.workspaceProblem());
        return 2;
    }
    const bool toPdf = !options.printSettings.pdfFolder.isEmpty();
    QString printer;
    if (toPdf) {
        const QString folder = QFileInfo(options.printSettings.pdfFolder).absoluteFilePath();
        if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir() || !QFileInfo(folder).isWritable()) {
            print(stderr, QStringLiteral("corvane-print: cannot write PDFs into \"%1\"").arg(folder));
            return 2;
        }
        options.printSettings.pdfFolder = QDir::cleanPath(folder);
        // Laid out for a printer, a PDF holds what printing there would print.
        if (!options.printer.isEmpty()) {
            options.printSettings.layoutPrinter = choosePrinter(printers, options.printer);
            if (options.printSettings.layoutPrinter.isEmpty())
                return 2;
        } else {
            options.printSettings.layoutPrinter = defaultPrinterIfAny(printers);
        }
        printer = options.printSettings.pdfFolder;
    } else {
        printer = choosePrinter(printers, options.printer);
        if (printer.isEmpty() && interrupts.load() > 0) {
            print(stderr, QStringLiteral("corvane-print: interrupted."));
            return 130;
        }
        if (printer.isEmpty())
            return 2;
    }

    RunReport report;
    if (!options.report.isEmpty()) {
        // A report is written over: it must not be a workbook of the run.
        for (const QString &entry : entries) {
            if (options.report != QLatin1String("-") && sameFile(entry, options.report)) {
                print(stderr,
                      QStringLiteral("corvane-print: the report \"%1\" is in the list of workbooks").arg(entry));
                return 2;
            }
        }
        QString error;
        if (!report.open(options.report, error)) {
            print(stderr, QStringLiteral("corvane-print: ") + error);
            return 2;
        }
        for (const EmptyFolder &folder : emptyFolders)
            report.noWorkbook(folder.path, folder.reason);
    }
    std::FILE *const summaryStream = options.report == QLatin1String("-") ? stderr : stdout;

    TerminalPrintRunView view(entries, printer, options.allSheets, interrupts, &report);
    PrintSettings settings = options.printSettings;
    settings.exported = [&view](const QString &pdf) { view.setExported(pdf); };
    settings.printed = [&view](const PrintedJob &job) { view.setPrinted(job); };
    if (merged)
        settings.rendered = [&merged](const QString &rendered, const QString &name) { merged->add(rendered, name); };
    engine.setPrintSettings(settings);
    TerminalPrompts prompts(
        options.yes, [&view] { view.clearLine(); }, [] { return interrupts.load() >= 2; },
        [&view] { return view.currentEntry(); }, [] { return interrupts.load() > 0; });
    prompts.setResultStream(summaryStream);
    DirectStepRunner runner;
    // With more than one LibreOffice at once, the next workbooks are opened
    // and laid out while one prints; the run still meets them in list order.
    const int instances = options.jobs > 0 ? options.jobs : PipelinedEngine::defaultInstances();
    qCDebug(lcRun) << "up to" << instances << "offices at once";
    std::unique_ptr<PipelinedEngine> pipeline;
    if (instances > 1)
        pipeline
            = std::make_unique<PipelinedEngine>(engine,
                                                PipelinedEngine::Plan{entries, printer, options.allSheets, instances,
                                                                      [&report](int i) { report.officeStarting(i); }},
                                                [] { return OfficeRegistry::stopRequested(); });
    PrintRun run(pipeline ? static_cast<SpreadsheetEngine &>(*pipeline) : engine, prompts, view, runner);
    run.Start();
    // A run that stopped early leaves no office it opened ahead.
    pipeline.reset();
    view.clearLine();

    const PrintRun::Summary &summary = run.summary();
    if (summary.declined && interrupts.load() > 0) {
        print(stderr, QStringLiteral("corvane-print: interrupted."));
        return 130;
    }
    if (summary.declined) {
        for (int i = 1; i <= int(entries.size()); ++i)
            report.notStarted(i, entries.at(i - 1));
        print(stderr, QStringLiteral("corvane-print: stopped, LibreOffice is open; --yes prints regardless."));
        return withReportChecked(report, options.report, 2);
    }
    const int printed = summary.workbooks - summary.failedWorkbooks;
    print(summaryStream,
          (toPdf ? QStringLiteral("Exported %1 of %2 workbooks to %3; %4 failed.")
                 : QStringLiteral("Printed %1 of %2 workbooks on %3; %4 failed."))
              .arg(printed)
              .arg(entries.size())
              .arg(printer)
              .arg(summary.failedWorkbooks));
    for (const QString &failed : summary.failedPaths)
        print(summaryStream, QStringLiteral("Failed: ") + failed);
    printEmptyFolders(summaryStream, emptyFolders);
    if (view.waitingJobs() > 0)
        print(summaryStream,
              QStringLiteral("%1 of the jobs wait in a paused queue; they print once it is resumed.")
                  .arg(view.waitingJobs()));
    if (summary.stopped || interrupts.load() > 0) {
        // Part of a run is not the run's PDF.
        if (merged)
            print(stderr,
                  QStringLiteral("corvane-print: interrupted, so \"%1\" was not written.").arg(options.mergePdf));
        print(stderr, QStringLiteral("corvane-print: interrupted."));
        return withReportChecked(report, options.report, 130);
    }
    if (merged) {
        QString error;
        if (!merged->write([] { return OfficeRegistry::stopRequested() || interrupts.load() > 0; }, error)) {
            print(stderr, QStringLiteral("corvane-print: --merge-pdf: ") + error);
            return interrupts.load() > 0 ? 130 : 1;
        }
        print(summaryStream,
              QStringLiteral("Merged %1 of %2 workbooks into %3%4.")
                  .arg(merged->workbooks())
                  .arg(entries.size())
                  .arg(options.mergePdf,
                       merged->workbooks() < int(entries.size()) ? QStringLiteral("; the failed ones are left out")
                                                                 : QString()));
    }
    return withReportChecked(report, options.report, summary.failedSteps > 0 ? 1 : 0);
}
