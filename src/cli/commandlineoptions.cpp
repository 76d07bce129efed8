// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commandlineoptions.h"

#include "cli/pathlist.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <optional>

namespace {

struct PageSetupOptions
{
    const QCommandLineOption &fitWidth;
    const QCommandLineOption &fitPage;
    const QCommandLineOption &paper;
    const QCommandLineOption &orientation;
    const QCommandLineOption &singlePageSheets;
};

// Reads --fit-width, --fit-page, --paper, --orientation and
// --single-page-sheets into settings; false with the usage error in message.
bool parsePageSetup(const QCommandLineParser &parser, const PageSetupOptions &given, PrintSettings &settings,
                    QString &message)
{
    const auto usageError = [&message](const QString &text) {
        message = QStringLiteral("corvane-print: ") + text;
        return false;
    };
    if (parser.isSet(given.fitWidth) && parser.isSet(given.fitPage))
        return usageError(QStringLiteral("--fit-width and --fit-page exclude each other"));
    if (parser.isSet(given.fitWidth))
        settings.fit = PrintSettings::Fit::Width;
    else if (parser.isSet(given.fitPage))
        settings.fit = PrintSettings::Fit::Page;
    if (parser.isSet(given.paper) && !PrintSettings::parsePaper(parser.value(given.paper), settings.paper))
        return usageError(QStringLiteral("--paper needs A3, A4, A5, Letter, Legal, Tabloid or WIDTHxHEIGHT in "
                                         "millimetres (10 to 3000 each), not \"%1\"")
                              .arg(parser.value(given.paper)));
    if (parser.isSet(given.orientation)) {
        const QString value = parser.value(given.orientation);
        if (value == QLatin1String("portrait"))
            settings.orientation = PrintSettings::Orientation::Portrait;
        else if (value == QLatin1String("landscape"))
            settings.orientation = PrintSettings::Orientation::Landscape;
        else if (value == QLatin1String("auto"))
            settings.orientation = PrintSettings::Orientation::Auto;
        else
            return usageError(QStringLiteral("--orientation needs portrait, landscape or auto"));
    }
    settings.singlePageSheets = parser.isSet(given.singlePageSheets);
    if (settings.singlePageSheets) {
        // Pages of any size: no printer has such paper.
        if (settings.pdfFolder.isEmpty())
            return usageError(QStringLiteral("--single-page-sheets is for --pdf only: no paper has pages of any "
                                             "size"));
        // Each sheet's page is as big as the sheet: a paper or a fit would be lost on it.
        if (settings.fit != PrintSettings::Fit::AsIs || settings.paper.isSet())
            return usageError(QStringLiteral("--single-page-sheets makes each page the size of its sheet; it "
                                             "takes no --paper, --fit-width or --fit-page"));
        // The layout's page numbers are not the single pages' numbers.
        if (!settings.pages.isEmpty())
            return usageError(QStringLiteral("--single-page-sheets takes no --pages: each sheet is one page"));
    }
    return true;
}

} // namespace

bool CommandLineOptions::parse(const QStringList &arguments, CommandLineOptions &options, QString &message,
                               int &exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints spreadsheet workbooks, each in a hidden LibreOffice of its own, in the order given.\n"
                       "Folders among the PATHs are walked breadth-first for their files; hidden folders\n"
                       "and files whose names begin with \"~\" are left out.\n\n"
                       "Exit status: 0 when every step succeeded, 1 when any step failed or the report\n"
                       "lost rows, 2 for a usage error or when nothing could start (no printer, no\n"
                       "LibreOffice, declined)."));
    const QCommandLineOption printer(
        {QStringLiteral("p"), QStringLiteral("printer")},
        QStringLiteral("CUPS queue to print on, its name in any case (default: the default printer)."),
        QStringLiteral("NAME"));
    const QCommandLineOption allSheets({QStringLiteral("a"), QStringLiteral("all-sheets")},
                                       QStringLiteral("Print every sheet of each workbook (default: the sheet "
                                                      "active when it opens)."));
    const QCommandLineOption extension({QStringLiteral("e"), QStringLiteral("extension")},
                                       QStringLiteral("Walk folders for files matching \"*.EXT\" (\"*\" for every "
                                                      "file), as \"Add Folder\" does; without it a folder gives "
                                                      "every file."),
                                       QStringLiteral("EXT"));
    const QCommandLineOption yes({QStringLiteral("y"), QStringLiteral("yes")},
                                 QStringLiteral("Go on even when LibreOffice is open (otherwise ask; when no one can "
                                                "be asked, stop)."));
    const QCommandLineOption list({QStringLiteral("n"), QStringLiteral("list")},
                                  QStringLiteral("Print the resolved list, one path per line, in print order, and "
                                                 "print nothing."));
    const QCommandLineOption timeout(
        {QStringLiteral("t"), QStringLiteral("timeout")},
        QStringLiteral("The longest one step may take in LibreOffice (starting it, opening, printing, closing "
                       "or quitting a workbook), in seconds (default: 300). A step that takes longer ends that "
                       "LibreOffice, is reported, and the run goes on."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption memoryLimit(
        QStringLiteral("memory-limit"),
        QStringLiteral("The most memory one LibreOffice may hold, in megabytes (default: half the computer's). "
                       "A workbook that needs more ends that LibreOffice, is reported, and the run goes on."),
        QStringLiteral("MB"));
    const QCommandLineOption jobs(
        {QStringLiteral("j"), QStringLiteral("jobs")},
        QStringLiteral("Run up to N LibreOffices at once, 1 to 16 (default: one per processor, at most 4). Each "
                       "workbook still gets a LibreOffice of its own; the next ones are opened and laid out while "
                       "one prints, and the jobs reach the printer, the PDFs their names and the report its rows "
                       "in list order."),
        QStringLiteral("N"));
    const QCommandLineOption filesFrom(
        QStringLiteral("files-from"),
        QStringLiteral("Read more PATHs from FILE (\"-\" for standard input), one per line, and print them after "
                       "the PATH arguments, in order; folders among them are walked as usual. A saved --list "
                       "reads back this way."),
        QStringLiteral("FILE"));
    const QCommandLineOption nullSeparated(
        QStringLiteral("null"),
        QStringLiteral("Paths in the --files-from list, and in what --list writes, end with a NUL byte instead "
                       "of a line end, as \"find -print0\" writes them."));
    const QCommandLineOption copies(
        QStringLiteral("copies"),
        QStringLiteral("Print N copies of each workbook, 1 to 999 (default: 1). The printer may make them "
                       "itself."),
        QStringLiteral("N"));
    const QCommandLineOption collate(QStringLiteral("collate"),
                                     QStringLiteral("With --copies, print whole copies one after another instead "
                                                    "of every page's copies together."));
    const QCommandLineOption pages(
        QStringLiteral("pages"),
        QStringLiteral("Print only these pages of what each workbook would print, such as 1-3,5 (counted from 1)."),
        QStringLiteral("RANGE"));
    const QCommandLineOption duplex(
        QStringLiteral("duplex"),
        QStringLiteral("Print on both sides, turning on the long or the short edge, or on one side (off); "
                       "default: the printer's setting. A printer that cannot print two-sided prints one-sided."),
        QStringLiteral("long|short|off"));
    const QCommandLineOption pdf(
        QStringLiteral("pdf"),
        QStringLiteral("Instead of printing, write each workbook as DIR/NAME.pdf (made if missing), with what "
                       "printing would print, laid out for --printer or the default printer (without any, with "
                       "LibreOffice's own page metrics); a name already taken becomes \"NAME (2).pdf\". Needs no "
                       "printer."),
        QStringLiteral("DIR"));
    const QCommandLineOption fitWidth(
        QStringLiteral("fit-width"),
        QStringLiteral("Scale every printed sheet to one page wide, as many pages tall as it needs. A sheet whose "
                       "own page setup already fits is left as it is."));
    const QCommandLineOption fitPage(QStringLiteral("fit-page"),
                                     QStringLiteral("Scale every printed sheet to one page."));
    const QCommandLineOption paper(
        QStringLiteral("paper"),
        QStringLiteral("Lay the pages out on this paper, keeping each sheet's orientation, and ask the printer for "
                       "it: A3, A4, A5, Letter, Legal, Tabloid, or WIDTHxHEIGHT in millimetres (such as 100x150)."),
        QStringLiteral("NAME"));
    const QCommandLineOption orientation(
        QStringLiteral("orientation"),
        QStringLiteral("Print every sheet upright or across; auto turns a sheet across (landscape) when what it "
                       "holds is wider than tall. Default: each sheet's own."),
        QStringLiteral("portrait|landscape|auto"));
    const QCommandLineOption singlePageSheets(
        QStringLiteral("single-page-sheets"),
        QStringLiteral("With --pdf: each sheet becomes one page of whatever size holds it whole."));
    const QCommandLineOption mergePdf(
        QStringLiteral("merge-pdf"),
        QStringLiteral("Also write one PDF of the whole run to FILE: the workbooks in list order, each with the "
                       "pages it printed and a bookmark named after its file; failed workbooks are left out. An "
                       "existing FILE is not replaced unless --force is given."),
        QStringLiteral("FILE"));
    const QCommandLineOption force(QStringLiteral("force"),
                                   QStringLiteral("Let --merge-pdf replace an existing FILE (at once, whole)."));
    const QCommandLineOption report(
        QStringLiteral("report"),
        QStringLiteral("Write a CSV record of the run to FILE (\"-\" for standard output, the summary then going "
                       "to standard error): a row per entry, written to the disk the moment CUPS takes its job "
                       "(or its PDF is written). However the run ends, even killed, what the report shows as "
                       "printed was handed to CUPS and what it does not show was not: rerun only the entries "
                       "whose last row is not \"printed\" or \"exported\"."),
        QStringLiteral("FILE"));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QStringLiteral("Tell on standard error what is done: each LibreOffice's start and end, each call into it "
                       "and how long it took, what goes to CUPS, each step of the run (the logging categories "
                       "corvane.office, corvane.cups, corvane.run, corvane.workspace; QT_LOGGING_RULES can "
                       "pick among them)."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    parser.addOptions({printer, allSheets,        extension, yes,    list,     timeout,   memoryLimit,   jobs,
                       copies,  collate,          pages,     duplex, fitWidth, fitPage,   paper,         orientation,
                       pdf,     singlePageSheets, mergePdf,  force,  report,   filesFrom, nullSeparated, verbose,
                       help,    version});
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Workbooks and folders to print."),
                                 QStringLiteral("PATH..."));

    if (!parser.parse(arguments)) {
        message = QStringLiteral("corvane-print: ") + parser.errorText()
            + QStringLiteral("\nTry 'corvane-print --help' for more information.");
        exitCode = 2;
        return false;
    }
    if (parser.isSet(help)) {
        message = parser.helpText();
        exitCode = 0;
        return false;
    }
    if (parser.isSet(version)) {
        message = QStringLiteral("corvane-print ") + QCoreApplication::applicationVersion();
        exitCode = 0;
        return false;
    }
    options.printer = parser.value(printer);
    options.allSheets = parser.isSet(allSheets);
    options.extension = parser.value(extension);
    options.yes = parser.isSet(yes);
    options.list = parser.isSet(list);
    options.paths = parser.positionalArguments();
    options.nullSeparated = parser.isSet(nullSeparated);
    options.verbose = parser.isSet(verbose);
    options.report = parser.value(report);
    const auto usageError = [&message, &exitCode](const QString &text) {
        message = QStringLiteral("corvane-print: ") + text;
        exitCode = 2;
        return false;
    };
    // A whole number from low to high, or nothing.
    const auto wholeNumber = [&parser](const QCommandLineOption &option, int low, int high) -> std::optional<int> {
        bool isNumber = false;
        const int value = parser.value(option).toInt(&isNumber);
        return isNumber && value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
    };
    if (parser.isSet(filesFrom)) {
        QString error;
        if (!PathList::read(parser.value(filesFrom), options.nullSeparated, options.paths, error))
            return usageError(error);
    }
    if (parser.isSet(timeout)) {
        // A day is more than any workbook needs; beyond it the milliseconds would overflow.
        const std::optional<int> seconds = wholeNumber(timeout, 1, 86400);
        if (!seconds)
            return usageError(QStringLiteral("--timeout needs a whole number of seconds from 1 to 86400"));
        options.timeoutSeconds = *seconds;
    }
    if (parser.isSet(memoryLimit)) {
        // Below 100 MB not even an empty workbook opens.
        const std::optional<int> megabytes = wholeNumber(memoryLimit, 100, 1048576);
        if (!megabytes)
            return usageError(QStringLiteral("--memory-limit needs a whole number of megabytes from 100 to 1048576"));
        options.memoryLimitMegabytes = *megabytes;
    }
    if (parser.isSet(jobs)) {
        // Each LibreOffice holds a few hundred megabytes; more than 16 at once
        // helps no machine this runs on.
        const std::optional<int> count = wholeNumber(jobs, 1, 16);
        if (!count)
            return usageError(QStringLiteral("--jobs needs a whole number from 1 to 16"));
        options.jobs = *count;
    }
    if (parser.isSet(copies)) {
        const std::optional<int> count = wholeNumber(copies, 1, 999);
        if (!count)
            return usageError(QStringLiteral("--copies needs a whole number from 1 to 999"));
        options.printSettings.copies = *count;
    }
    options.printSettings.collate = parser.isSet(collate);
    if (parser.isSet(pages) && !PrintSettings::parsePages(parser.value(pages), options.printSettings.pages))
        return usageError(QStringLiteral("--pages needs pages such as 1-3,5, counted from 1, each part ascending"));
    if (parser.isSet(duplex)) {
        const QString sides = parser.value(duplex);
        if (sides == QLatin1String("long"))
            options.printSettings.duplex = PrintSettings::Duplex::LongEdge;
        else if (sides == QLatin1String("short"))
            options.printSettings.duplex = PrintSettings::Duplex::ShortEdge;
        else if (sides == QLatin1String("off"))
            options.printSettings.duplex = PrintSettings::Duplex::Off;
        else
            return usageError(QStringLiteral("--duplex needs long, short or off"));
    }
    options.printSettings.pdfFolder = parser.value(pdf);
    if (parser.isSet(pdf) && options.printSettings.pdfFolder.isEmpty())
        return usageError(QStringLiteral("--pdf needs a folder"));
    if (!parsePageSetup(parser, {fitWidth, fitPage, paper, orientation, singlePageSheets}, options.printSettings,
                        message)) {
        exitCode = 2;
        return false;
    }
    options.mergePdf = parser.value(mergePdf);
    if (parser.isSet(mergePdf) && options.mergePdf.isEmpty())
        return usageError(QStringLiteral("--merge-pdf needs a file"));
    options.force = parser.isSet(force);
    if (options.force && options.mergePdf.isEmpty())
        return usageError(QStringLiteral("--force is for --merge-pdf: it lets the merged PDF replace a file"));
    if (parser.isSet(extension) && options.extension.isEmpty()) {
        message = QStringLiteral("corvane-print: --extension needs an extension, such as xlsx or *");
        exitCode = 2;
        return false;
    }
    if (options.paths.isEmpty() && !parser.isSet(filesFrom)) {
        message = QStringLiteral("corvane-print: no PATH given\nTry 'corvane-print --help' for more information.");
        exitCode = 2;
        return false;
    }
    return true;
}
