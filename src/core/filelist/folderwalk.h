// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The folder walk behind "Add Folder", dropped folders and the sample files.
//
// Folders are visited breadth-first: the starting folders, then every folder
// one level below them grouped by parent, then two levels below, and so on.
// Within one folder names come in case-insensitive name order, so the result
// is the same on every machine. Hidden folders (a name starting with ".") and
// everything below them are left out; hidden files count like any other.
// Folders that cannot be read are passed over. A link to a folder is followed,
// but no folder is visited twice, so a link loop cannot make the walk endless.
namespace AddFolder {

// Called regularly during a long walk so the caller can keep its window painting.
// It may throw to abandon the walk: the exception passes through, nothing is left open.
using Yield = std::function<void()>;

// Appends every subfolder of the folders in folderList, at every depth when
// recurse is true (only the direct subfolders otherwise). Elements end in "/".
void CollectSubfolders(QStringList &folderList, bool recurse, const Yield &yield = {});

// Names of the ordinary files of one folder (not of its subfolders) that match
// pattern, in listing order. The folder may end in "/" or not.
QStringList ListFiles(const QString &folder, const QString &pattern);

// The whole walk in one pass over the tree: the full path of every file of
// folder's tree that matches pattern, folder by folder in walk order, leaving
// out names that begin with "~".
QStringList CollectFiles(const QString &folder, const QString &pattern, const Yield &yield = {});

// folder + "/" + name, without ever doubling the separator ("/" + "a" is "/a").
QString JoinPath(const QString &folder, const QString &name);

} // namespace AddFolder
