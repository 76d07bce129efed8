// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// The named pipes LibreOffice listens on. It puts them in /tmp (or /var/tmp
// when /tmp cannot be written) whatever TMPDIR says, and a killed office
// leaves them there, so the program records which are its offices' own.
namespace OfficePipes {

// The folder LibreOffice makes its pipes in, and how their names begin.
QString pipeFolder();
QString prefix();

// Where an office started with --accept=pipe,name=pipeName listens.
QString pathFor(const QString &pipeName);

// Whether path names a pipe of this user's in LibreOffice's pipe folder.
bool isPipePathOfThisUser(const QString &path);

// The pipe paths these processes listen on, read from /proc.
QStringList listenedBy(const QList<pid_t> &processes);
// The same for every process of this user in the process group.
QStringList listenedByGroup(pid_t group);

} // namespace OfficePipes
