// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Texts of the "Options" tab and of the print run, spelled as the user sees them.
namespace PrintingTexts {

inline QString selectPrinterFrame()
{
    return QStringLiteral("Select Printer");
}
inline QString printOptionsFrame()
{
    return QStringLiteral("Print Options");
}
inline QString activeSheetOption()
{
    return QStringLiteral("Print active sheet (first selected sheet you see when you open the file)");
}
inline QString allSheetsOption()
{
    return QStringLiteral("Print all sheets");
}

// The settings key of the chosen printer.
inline QString keyPrinter()
{
    return QStringLiteral("Combo1");
}

inline QString done()
{
    return QStringLiteral("Done.");
}
// In place of "Done." when the user stopped the run after workbook `printed` of `count`.
inline QString stoppedAfter(int printed, int count)
{
    return QStringLiteral("Printing was stopped after %1 of %2 workbooks.").arg(printed).arg(count);
}
inline QString noFilesAdded()
{
    return QStringLiteral("No files added.");
}

// engineName: the spreadsheet engine's display name.
inline QString engineOpenWarning(const QString &engineName)
{
    return engineName + QStringLiteral(" may be open. It is recommended that you close ") + engineName
        + QStringLiteral(" first.\rUse System Monitor > soffice.bin if necessary.\r\n\r\nWould you like to "
                         "proceed anyway?");
}

inline QString errorReportTitle()
{
    return QStringLiteral("Application Error");
}
inline QString printRunSource()
{
    return QStringLiteral("in Corvane5/20/2014.Form1.Start ");
}
inline QString listPrintersSource()
{
    return QStringLiteral("in Corvane5/20/2014.Form1.listPrinters ");
}
inline QString atLine()
{
    return QStringLiteral("at line ");
}
inline QString emailRequest()
{
    return QStringLiteral("Please email screenshot of this message to ");
}

inline QString noInstance()
{
    return QStringLiteral("This step was skipped because the workbook could not be opened.");
}
inline QString noWorkbook()
{
    return noInstance();
}
// Said when a job went to the printer system but whether it arrived whole
// cannot be known: the workbook may have printed.
inline QString mayHavePrinted()
{
    return QStringLiteral("it may have reached the printer");
}
inline QString stopped()
{
    return QStringLiteral("The run was stopped.");
}

} // namespace PrintingTexts
