// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class EngineWorkbook;

// The workbooks open in one engine instance. Failures throw EngineError.
class EngineWorkbooks
{
public:
    virtual ~EngineWorkbooks() = default;

    // Opens the workbook at path, read-only, as the last of the collection.
    virtual void Open(const QString &path) = 0;
    virtual int count() = 0;
    // The workbook at a position counted from 1.
    virtual std::unique_ptr<EngineWorkbook> item(int index) = 0;
    // Closes every workbook of the instance without saving.
    virtual void Close() = 0;

    // Lays out now what printing the last workbook opened on printer will
    // print (its active sheet, or every sheet), so that the print call later
    // only hands it over: for an instance started ahead of its turn. Throws
    // nothing; a failure is kept and thrown by that print call, or by
    // ActiveSheet() when the active sheet could not be read. An engine that
    // cannot lay out ahead does it all in the print call.
    virtual void prepareOut(const QString & /*printer*/, bool /*allSheets*/) {}
};
