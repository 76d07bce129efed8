#pragma once

#include <QString>

// Texts of the "Options" tab and of the print run, spelled as the user sees them.
namespace PrintingTexts {

inline QString selectPrinterFrame() { return QStringLiteral("Select Printer"); }
inline QString printOptionsFrame() { return QStringLiteral("Print Options"); }
inline QString activeSheetOption()
{
    return QStringLiteral("Print active sheet (first selected sheet you see when you open the file)");
}
inline QString allSheetsOption() { return QStringLiteral("Print all sheets"); }

} // namespace PrintingTexts
