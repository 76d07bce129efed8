// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printersystem.h"

#include <QString>

#include <cstdint>
#include <functional>

// How each workbook is printed beyond the printer and the sheets: what a
// command line may ask for. The defaults print as the window does.
struct PrintSettings
{
    enum class Duplex : std::uint8_t { PrinterDefault, Off, LongEdge, ShortEdge };
    // How the printed sheets are scaled: as their own page setup says, to
    // one page wide, or each to one page.
    enum class Fit : std::uint8_t { AsIs, Width, Page };
    // AsIs keeps each sheet's own; Auto turns a sheet landscape when what it
    // holds is wider than tall.
    enum class Orientation : std::uint8_t { AsIs, Portrait, Landscape, Auto };

    // A paper size given on the command line.
    struct Paper
    {
        // In hundredths of a millimetre, LibreOffice's unit; short side first. 0: the page styles' own.
        int shortSide = 0;
        int longSide = 0;
        // What CUPS is asked for: a PWG media name.
        QString media;

        bool isSet() const { return shortSide > 0; }
    };

    int copies = 1;
    bool collate = false;
    // Pages as "1-3;5" (LibreOffice's own form); empty for every page.
    QString pages;
    Duplex duplex = Duplex::PrinterDefault;
    // Page setup changed on the printed sheets' page styles in the loaded
    // document only, which is never saved.
    Fit fit = Fit::AsIs;
    Paper paper;
    Orientation orientation = Orientation::AsIs;
    // Each sheet one page of whatever size it needs: for PDFs only, no paper has it.
    bool singlePageSheets = false;
    // Not empty: each workbook is written as a PDF into this folder instead of
    // being printed, and `exported` is told the file's path.
    QString pdfFolder;
    std::function<void(const QString &pdf)> exported;
    // The printer whose page metrics a PDF is laid out with, so that it holds
    // what printing there would print; empty: LibreOffice's own metrics.
    QString layoutPrinter;
    // Told of each job the moment the print server took it: its id, whether
    // more jobs of the workbook follow, and when it cannot print yet, why (a
    // paused queue). The printer system calls it, so that nothing happens
    // between the server's taking the job and the record of it.
    std::function<void(const PrintedJob &job)> printed;
    // Told each workbook's rendering once it was printed or exported, with
    // the workbook's file name, while the file is still there to copy.
    std::function<void(const QString &rendered, const QString &name)> rendered;

    // Whether any page style is changed for the print.
    bool changesPageSetup() const { return fit != Fit::AsIs || paper.isSet() || orientation != Orientation::AsIs; }

    // Reads a range such as "1-3,5" (pages counted from 1, ascending within a
    // part); false for anything else.
    static bool parsePages(const QString &text, QString &pages);

    // Reads a paper name (A3, A4, A5, Letter, Legal, Tabloid, in any case)
    // or WIDTHxHEIGHT in millimetres; false for anything else.
    static bool parsePaper(const QString &text, Paper &paper);

    // The lowest page a range in LibreOffice's form asks for; 0 for none.
    static int firstPage(const QString &pages);
};
