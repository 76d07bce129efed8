// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// How each workbook is printed beyond the printer and the sheets: what a
// command line may ask for. The defaults print as the window does.
struct PrintSettings
{
    enum class Duplex : std::uint8_t { PrinterDefault, Off, LongEdge, ShortEdge };

    int copies = 1;
    bool collate = false;
    // Pages as "1-3;5" (LibreOffice's own form); empty for every page.
    QString pages;
    Duplex duplex = Duplex::PrinterDefault;
    // Not empty: each workbook is written as a PDF into this folder instead of
    // being printed, and `exported` is told the file's path.
    QString pdfFolder;
    std::function<void(const QString &pdf)> exported;
    // The printer whose page metrics a PDF is laid out with, so that it holds
    // what printing there would print; empty: LibreOffice's own metrics.
    QString layoutPrinter;
    // Told the print server's id of each job handed over, and when it
    // cannot print yet, why (a paused queue).
    std::function<void(int jobId, const QString &waiting)> printed;

    // Reads a range such as "1-3,5" (pages counted from 1, ascending within a
    // part); false for anything else.
    static bool parsePages(const QString &text, QString &pages);

    // The lowest page a range in LibreOffice's form asks for; 0 for none.
    static int firstPage(const QString &pages);
};
