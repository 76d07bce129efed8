// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printsettings.h"

#include <QString>
#include <QStringList>

// What corvane-print was asked to do.
struct CommandLineOptions
{
    QString printer; // empty: the default printer
    bool allSheets = false;
    QString extension; // empty: folders give every file
    bool yes = false;
    bool list = false;
    int timeoutSeconds = 300;     // the longest one call into LibreOffice may take
    int jobs = 0;                 // --jobs: LibreOffices at once; 0: one per processor, at most 4
    int memoryLimitMegabytes = 0; // --memory-limit: the most one LibreOffice may hold; 0: half the machine's
    PrintSettings printSettings;
    QStringList paths;          // the PATH arguments, then those of --files-from
    QString report;             // --report: the CSV record of the run, "-" for standard output
    bool nullSeparated = false; // --null: lists read and written end each path with a NUL byte
    bool verbose = false;       // --verbose: the program's logging categories on standard error
    QString mergePdf;           // --merge-pdf: one PDF of the whole run
    bool force = false;         // --force: --merge-pdf may replace an existing file

    // Parses arguments (program name first). On a usage error, or for --help
    // and --version, returns false with what to print in message and the exit
    // status in exitCode.
    static bool parse(const QStringList &arguments, CommandLineOptions &options, QString &message, int &exitCode);
};
