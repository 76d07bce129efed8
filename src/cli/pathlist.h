// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A list of paths in a file, one per line or, as "find -print0" writes them,
// each ended by a NUL byte: what --files-from reads and --list writes.
class PathList final
{
public:
    // Reads the paths in source ("-": standard input) in order, leaving out
    // empty ones. In a list of lines a carriage return before the line's end
    // is dropped, so lists written on Windows work. False, with error, when
    // the source cannot be read.
    static bool read(const QString &source, bool nullSeparated, QStringList &paths, QString &error);

    // The list as read() reads it back.
    static QByteArray write(const QStringList &paths, bool nullSeparated);

    static QStringList parse(const QByteArray &text, bool nullSeparated);
};
