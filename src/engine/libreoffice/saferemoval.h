// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Removal of what the program made, and only that: no symbolic link is ever
// followed and no other file system is entered, so a link planted among our
// files can only lose the link itself.
namespace SafeRemoval {

// Removes the folder `name` inside the open folder parentFd with all it holds.
// Returns whether it is gone. A name that is not a real folder of this user
// on parentFd's file system is left alone.
bool removeTreeAt(int parentFd, const QByteArray &name);

// Removes the socket at path when it is a socket of this user's in one of
// the folders LibreOffice keeps its pipes in; anything else is left alone.
bool removeOfficePipe(const QString &path);

} // namespace SafeRemoval
