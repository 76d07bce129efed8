// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSizeF>
#include <QStringList>

struct PrintSettings;

// A job the printer system took.
struct PrintedJob
{
    int id = 0;
    // Not empty when the job cannot print yet, in the printer system's words
    // (a paused queue and its reason).
    QString waiting;
    // More jobs of the same document follow this one (a document sent as
    // several jobs): until the last is taken, the document printed in part.
    bool more = false;
};

// The printers of the system. Failures throw EngineError.
class PrinterSystem
{
public:
    virtual ~PrinterSystem() = default;

    // The names of the installed printers, in the system's order.
    virtual QStringList printerNames() = 0;

    // The default printer's name; throws when there is none.
    virtual QString defaultPrinterName() = 0;

    // Hands a finished PDF to printer, titled title, with the copies,
    // collation and sides of settings, each page asking for the paper it was
    // laid out on: pageSizes holds each page's size in points (empty: every
    // page on the printer's default paper). Pages on one paper go as one job;
    // a PDF whose pages use several papers goes as a job for each run of pages
    // on the same paper, in page order. settings.printed is told each job the
    // moment the server has taken it, before anything else happens, so that a
    // record of it survives whatever ends the program next. Throws with the print server's reason
    // when a job is not taken; the jobs taken before it stay taken.
    virtual void printPdf(const QString &printer, const QString &pdf, const QString &title,
                          const PrintSettings &settings, const QList<QSizeF> &pageSizes)
        = 0;
};
