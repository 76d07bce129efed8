// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineerror.h"
#include "core/printing/printersystem.h"
#include "core/printing/printsettings.h"

#include <QStringList>

// Three printers, the second the default, unless a test says otherwise.
class FakePrinterSystem final : public PrinterSystem
{
public:
    QStringList printerNames() override
    {
        if (namesFail)
            throw EngineError(QStringLiteral("The printing system cannot be reached."));
        return names;
    }
    QString defaultPrinterName() override
    {
        if (defaultName.isEmpty())
            throw EngineError(QStringLiteral("There is no default printer."));
        return defaultName;
    }

    void printPdf(const QString &printer, const QString &, const QString &title, const PrintSettings &settings,
                  const QList<QSizeF> &) override
    {
        jobs.append(printer + QLatin1Char('/') + title);
        PrintedJob job;
        job.id = int(jobs.size());
        if (settings.printed)
            settings.printed(job);
    }

    QStringList names{QStringLiteral("Office"), QStringLiteral("Second"), QStringLiteral("Third")};
    QString defaultName = QStringLiteral("Second");
    bool namesFail = false;
    // "PRINTER/TITLE" of each job handed over.
    QStringList jobs;
};
