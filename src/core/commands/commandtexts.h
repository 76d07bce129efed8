// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Captions of the toolbar and the menus and texts of the help actions, spelled as the user sees them.
namespace CommandTexts {

inline QString toolbarName()
{
    return QStringLiteral("Standard");
}
inline QString addFilesButton()
{
    return QStringLiteral("Add Files");
}
inline QString addFolderButton()
{
    return QStringLiteral("Add Folder");
}
inline QString clearListButton()
{
    return QStringLiteral("Clear List");
}
inline QString startPrintingButton()
{
    return QStringLiteral("Start Printing");
}

// What a toolbar button's tooltip adds to its caption: the keys that reach it.
inline QString startPrintingToolTip()
{
    return QStringLiteral("Start Printing (Ctrl+P)\nEsc stops the run after the current workbook");
}
inline QString addFilesToolTip()
{
    return QStringLiteral("Add Files (Alt+F, D)");
}
inline QString addFolderToolTip()
{
    return QStringLiteral("Add Folder (Alt+F, F)");
}
inline QString clearListToolTip()
{
    return QStringLiteral("Clear List");
}

inline QString fileMenu()
{
    return QStringLiteral("&File");
}
inline QString addFilesItem()
{
    return QStringLiteral("A&dd Files");
}
inline QString addFolderItem()
{
    return QStringLiteral("Add &Folder");
}
inline QString clearSelectedItem()
{
    return QStringLiteral("Clear Selected Files");
}
inline QString clearAllItem()
{
    return QStringLiteral("Clear All Files");
}
inline QString exitItem()
{
    return QStringLiteral("&Exit");
}
inline QString optionsMenu()
{
    return QStringLiteral("&Options");
}
inline QString showFilesItem()
{
    return QStringLiteral("Show Files Tab");
}
inline QString showOptionsItem()
{
    return QStringLiteral("Show Options Tab");
}
inline QString helpMenu()
{
    return QStringLiteral("&Help");
}
inline QString helpItem()
{
    return QStringLiteral("Help");
}
inline QString samplesItem()
{
    return QStringLiteral("Load Sample/Example Files");
}
inline QString videoItem()
{
    return QStringLiteral("Watch Old Demo Video");
}
inline QString faqItem()
{
    return QStringLiteral("FAQ");
}
inline QString mainPageItem()
{
    return QStringLiteral("Visit Tenvara Main Page");
}

inline QString contactMessage(const QString &contactAddress)
{
    return QStringLiteral("Questions? Please contact Team Tenvara at ") + contactAddress;
}
inline QString openSampleFolderQuestion()
{
    return QStringLiteral("Would you like this software to open the folder where these sample files are stored "
                          "(so that you can view them before working with them)?");
}

// When the desktop has no program for a target: what it was and where, to open it by hand.
inline QString couldNotOpen(const QString &what, const QString &target)
{
    return what
        + QStringLiteral(" could not be opened: this computer has no program for it, or it is gone.\n\n"
                         "To open it by hand:\n")
        + target;
}
inline QString samplesFolderName()
{
    return QStringLiteral("The folder of the sample files");
}
inline QString demoVideoName()
{
    return QStringLiteral("The demo video");
}
inline QString faqPageName()
{
    return QStringLiteral("The FAQ page");
}
inline QString mainPageName()
{
    return QStringLiteral("The Tenvara main page");
}

inline QString samplesFolder()
{
    return QStringLiteral("Samples");
}
inline QString videoFolder()
{
    return QStringLiteral("Video");
}

} // namespace CommandTexts
