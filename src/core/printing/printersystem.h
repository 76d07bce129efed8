// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The printers of the system. Failures throw EngineError.
class PrinterSystem
{
public:
    virtual ~PrinterSystem() = default;

    // The names of the installed printers, in the system's order.
    virtual QStringList printerNames() = 0;

    // The default printer's name; throws when there is none.
    virtual QString defaultPrinterName() = 0;
};
