// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printersystem.h"

#include <functional>

// The printers of the CUPS server this user prints to (CUPS_SERVER, the
// user's client.conf, or the local server). Every look-up is bounded in time
// and gives way to a stop request: a server that hangs, or takes the
// connection and never answers, costs a look-up its bound and no more.
class CupsPrinterSystem final : public PrinterSystem
{
public:
    // A server answers a look-up in milliseconds; one that needs seconds is
    // taken for one that does not answer.
    static constexpr int defaultBoundMs = 4000;

    // stopRequested: asked while waiting; true ends the look-up at once.
    explicit CupsPrinterSystem(int boundMs = defaultBoundMs, std::function<bool()> stopRequested = {});

    QStringList printerNames() override;
    QString defaultPrinterName() override;
    void printPdf(const QString &printer, const QString &pdf, const QString &title, const PrintSettings &settings,
                  const QList<QSizeF> &pageSizes) override;

private:
    int m_boundMs;
    std::function<bool()> m_stopRequested;
};
