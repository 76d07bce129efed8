// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/pathlist.h"

#include "core/common/filenames.h"

#include <QFile>

#include <climits>
#include <cstring>

namespace {

// No path is longer; a longer line is no list of paths (or /dev/zero).
constexpr qsizetype longestLine = PATH_MAX;
// Far more workbooks than anyone prints in one run, and a bound on a source
// of nothing but empty lines.
constexpr qsizetype mostLines = 1000000;

} // namespace

bool PathList::read(const QString &source, bool nullSeparated, QStringList &paths, QString &error)
{
    QFile file;
    const bool fromInput = source == QLatin1String("-");
    const bool opened = fromInput ? file.open(stdin, QIODevice::ReadOnly)
                                  : (file.setFileName(source), file.open(QIODevice::ReadOnly));
    const QString name
        = fromInput ? QStringLiteral("the list on standard input") : QStringLiteral("the list \"%1\"").arg(source);
    if (!opened) {
        error = QStringLiteral("cannot read %1: %2").arg(name, file.errorString());
        return false;
    }
    // Read in pieces, never more than one line beyond what was kept.
    const char separator = nullSeparated ? '\0' : '\n';
    QByteArray text;
    QByteArray line;
    qsizetype lines = 0;
    char buffer[65536];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof(buffer));
        if (got < 0) {
            error = QStringLiteral("cannot read %1: %2").arg(name, file.errorString());
            return false;
        }
        if (got == 0)
            break;
        const char *next = buffer;
        const char *const end = buffer + got;
        while (next < end) {
            const auto *found = static_cast<const char *>(std::memchr(next, separator, std::size_t(end - next)));
            const char *const stop = found ? found : end;
            line.append(next, stop - next);
            if (line.size() > longestLine) {
                error = QStringLiteral("%1 %2 of %3 is longer than a path can be (%4 bytes)")
                            .arg(nullSeparated ? QStringLiteral("entry") : QStringLiteral("line"))
                            .arg(lines + 1)
                            .arg(name)
                            .arg(longestLine);
                return false;
            }
            // No name holds a NUL byte: the system would take it for the name's end.
            if (!nullSeparated && std::memchr(next, '\0', std::size_t(stop - next))) {
                error = QStringLiteral("line %1 of %2 holds a NUL byte, which no path can; a list of names "
                                       "that each end with one is read with --null")
                            .arg(lines + 1)
                            .arg(name);
                return false;
            }
            next = stop;
            if (found) {
                if (++lines > mostLines) {
                    error = QStringLiteral("%1 has more than %2 entries").arg(name).arg(mostLines);
                    return false;
                }
                text += line;
                text += separator;
                line.clear();
                ++next;
            }
        }
    }
    text += line;
    paths.append(parse(text, nullSeparated));
    return true;
}

QStringList PathList::parse(const QByteArray &text, bool nullSeparated)
{
    QStringList paths;
    for (QByteArray item : text.split(nullSeparated ? '\0' : '\n')) {
        if (!nullSeparated && item.endsWith('\r'))
            item.chop(1);
        // Names are bytes to the system: kept as they are, so that the list
        // writes back byte for byte.
        if (!item.isEmpty())
            paths.append(FileNames::decode(item));
    }
    return paths;
}

QByteArray PathList::write(const QStringList &paths, bool nullSeparated)
{
    QByteArray text;
    for (const QString &path : paths)
        text += FileNames::encode(path) + (nullSeparated ? '\0' : '\n');
    return text;
}
