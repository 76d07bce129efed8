// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/printsettings.h"

#include <QStringList>

bool PrintSettings::parsePages(const QString &text, QString &pages)
{
    QStringList parts;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.split(QLatin1Char('-'));
        if (ends.size() > 2)
            return false;
        int previous = 0;
        for (const QString &end : ends) {
            bool isNumber = false;
            const int page = end.toInt(&isNumber);
            // Digits only: no signs, blanks or a leading zero.
            if (!isNumber || page < 1 || end.startsWith(QLatin1Char('0')) || end.startsWith(QLatin1Char('+'))
                || end.trimmed() != end || page < previous)
                return false;
            previous = page;
        }
        parts << part;
    }
    pages = parts.join(QLatin1Char(';'));
    return true;
}

int PrintSettings::firstPage(const QString &pages)
{
    int first = 0;
    for (const QString &part : pages.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int page = part.section(QLatin1Char('-'), 0, 0).toInt();
        if (page > 0 && (first == 0 || page < first))
            first = page;
    }
    return first;
}
