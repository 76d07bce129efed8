// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class EngineSheet;

// An open workbook. Failures throw EngineError.
class EngineWorkbook
{
public:
    virtual ~EngineWorkbook() = default;

    // The sheet that was active when the workbook opened.
    virtual std::unique_ptr<EngineSheet> ActiveSheet() = 0;

    // Prints every sheet, all pages, one copy, on the named printer.
    virtual void PrintOut(const QString &printer) = 0;
};
