// SPDX-License-Identifier: GPL-3.0-or-later
#include "pathlist.h"

#include <QFile>

bool PathList::read(const QString &source, bool nullSeparated, QStringList &paths, QString &error)
{
    QFile file;
    const bool opened = source == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                     : (file.setFileName(source), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = QStringLiteral("cannot read the list \"%1\": %2").arg(source, file.errorString());
        return false;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot read the list \"%1\": %2").arg(source, file.errorString());
        return false;
    }
    paths.append(parse(text, nullSeparated));
    return true;
}

QStringList PathList::parse(const QByteArray &text, bool nullSeparated)
{
    QStringList paths;
    for (QByteArray item : text.split(nullSeparated ? '\0' : '\n')) {
        if (!nullSeparated && item.endsWith('\r'))
            item.chop(1);
        // Names are bytes to the system; they are decoded as the program's
        // own arguments are.
        if (!item.isEmpty())
            paths.append(QFile::decodeName(item));
    }
    return paths;
}

QByteArray PathList::write(const QStringList &paths, bool nullSeparated)
{
    QByteArray text;
    for (const QString &path : paths)
        text += QFile::encodeName(path) + (nullSeparated ? '\0' : '\n');
    return text;
}
