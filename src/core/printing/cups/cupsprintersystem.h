// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "printing/printersystem.h"

// The printers of the CUPS server this user prints to (CUPS_SERVER, the
// user's client.conf, or the local server).
class CupsPrinterSystem final : public PrinterSystem
{
public:
    QStringList printerNames() override;
    QString defaultPrinterName() override;
    PrintedJob printPdf(const QString &printer, const QString &pdf, const QString &title,
                        const PrintSettings &settings) override;
};
