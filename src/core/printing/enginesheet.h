// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One sheet of an open workbook. Failures throw EngineError.
class EngineSheet
{
public:
    virtual ~EngineSheet() = default;

    // Prints this sheet, all pages, one copy, on the named printer.
    virtual void PrintOut(const QString &printer) = 0;
};
