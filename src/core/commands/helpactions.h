// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class FileListModel;
class Prompts;
class ShellOpen;

// The actions of the "Help" menu. programFolder is where the program's data
// files ("Samples", "Video") are installed.
namespace HelpActions {

// The contact message.
void Help(Prompts &prompts);

// Appends every file of the sample folder, then offers to show the folder.
void LoadSampleFiles(FileListModel &list, Prompts &prompts, ShellOpen &shell, const QString &programFolder);

// Plays the first file of the video folder, or opens the folder when it holds none.
void WatchDemoVideo(ShellOpen &shell, Prompts &prompts, const QString &programFolder);

// The maker's FAQ and main pages.
void OpenFaq(ShellOpen &shell, Prompts &prompts);
void VisitMainPage(ShellOpen &shell, Prompts &prompts);

// Hands a path or web address to the user's program for it, unchanged. When
// the desktop cannot open it, one message says what (`what`, e.g. "The demo
// video") and where it is, so the user can open it by hand.
void OpenInShell(ShellOpen &shell, Prompts &prompts, const QString &target, const QString &what);

} // namespace HelpActions
