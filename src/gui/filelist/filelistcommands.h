// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/filelist/folderwalk.h"

#include <QStringList>

#include <functional>

class FileListModel;
class Prompts;

// The commands that fill the file list: the open-file dialog, a folder's tree
// by extension, and files or folders dropped on the list. A walk whose yield
// throws WalkAbandoned ends there and adds nothing more.
class FileListCommands final
{
public:
    using BusyPointer = std::function<void(bool busy)>;

    FileListCommands(FileListModel &list, Prompts &prompts, BusyPointer busy, AddFolder::Yield yield);

    // Appends the files chosen in the open-file dialog, as the dialog gives them.
    void AddFiles();

    // Asks for an extension and a folder, then appends every matching file of
    // the folder's tree in walk order. Cancelling either question adds nothing.
    void AddFolder();

    // Appends dropped files unchanged and the whole tree of dropped folders, in the given order.
    void DropPaths(const QStringList &paths);

private:
    FileListModel &m_list;
    Prompts &m_prompts;
    BusyPointer m_busy;
    AddFolder::Yield m_yield;
};
