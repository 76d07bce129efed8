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
    // the source cannot be read, when a line is longer than any path or holds
    // a NUL byte, or there are more than a million (a device such as
    // /dev/zero is no list).
    static bool read(const QString &source, bool nullSeparated, QStringList &paths, QString &error);

    // The list as read() reads it back, each name's bytes as they are.
    static QByteArray write(const QStringList &paths, bool nullSeparated);

    static QStringList parse(const QByteArray &text, bool nullSeparated);
};
