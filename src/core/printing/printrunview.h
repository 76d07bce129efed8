// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineerror.h"

#include <QString>

// What a print run reads from and shows on its screen: the window, or the
// terminal of the command-line printer.
class PrintRunView
{
public:
    virtual ~PrintRunView() = default;

    virtual int entryCount() = 0;
    // The path of entry i, counted from 1.
    virtual QString entry(int i) = 0;
    virtual QString printerName() = 0;
    virtual bool printActiveSheet() = 0;
    virtual bool printAllSheets() = 0;

    // 0 to 100, unrounded.
    virtual void setProgress(double percent) = 0;
    virtual void setBusy(bool busy) = 0;

    // Whether the user has asked to stop; checked before each workbook.
    virtual bool stopRequested() { return false; }
    // Whether the user wants the run to end at once: no more steps and no
    // more reports; the engine has been told to stop.
    virtual bool stopNow() { return false; }
    // Told when a workbook starts, for views that show which one.
    virtual void workbookStarting(int /*i*/, int /*n*/, const QString & /*path*/) {}
    // Told when a step fails: its line, what went wrong, as the report says,
    // and whether a job may have reached the printer all the same.
    virtual void stepFailed(int /*line*/, const QString & /*description*/, EngineError::Kind /*kind*/) {}
    // Told when workbook i is done with, whether it failed: one whose print
    // was handed over does not, whatever fails after, so that rerunning the
    // failed ones prints nothing twice; one cut short by a stop at once
    // before that counts as failed.
    virtual void workbookFinished(int /*i*/, bool /*failed*/) {}
};
