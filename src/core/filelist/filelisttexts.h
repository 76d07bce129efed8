// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Texts of the file list and of the commands that fill it, spelled as the user sees them.
namespace FileListTexts {

inline QString columnHeader()
{
    return QStringLiteral("Excel Files");
}
inline QString toolTip()
{
    return QStringLiteral("Drag and drop files here. Drag files up and down to change order. Double-click "
                          "item to remove it.");
}

inline QString addFilesTitle()
{
    return QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
}
// The file types of the Add Files dialog, the first one chosen: the workbooks
// of that name, then every kind of spreadsheet the engine prints, then anything.
inline QString addFilesFilter()
{
    return QStringLiteral("Excel Files (*.xl*);;"
                          "Spreadsheets (*.xls *.xlsx *.xlsm *.xlsb *.xlt *.xltx *.xltm *.ods *.ots *.fods);;"
                          "All files (*)");
}

inline QString extensionPrompt()
{
    return QStringLiteral("Enter file extension to load:\n\n(* for all files, txt for all txt files, doc for "
                          "all doc files, etc.)");
}
inline QString defaultExtension()
{
    return QStringLiteral("xls");
}
inline QString browseTitle()
{
    return QStringLiteral("Please select folder:");
}

} // namespace FileListTexts
