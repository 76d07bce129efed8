// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/printsettings.h"

#include <QRegularExpression>
#include <QStringList>

#include <array>
#include <cmath>

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

bool PrintSettings::parsePaper(const QString &text, Paper &paper)
{
    struct Named
    {
        const char *name;
        int shortSide;
        int longSide;
        const char *media;
    };
    // US sizes are exact in inches; LibreOffice's hundredths of a millimetre round them.
    static constexpr std::array<Named, 6> named{{
        {"A3", 29700, 42000, "iso_a3_297x420mm"},
        {"A4", 21000, 29700, "iso_a4_210x297mm"},
        {"A5", 14800, 21000, "iso_a5_148x210mm"},
        {"Letter", 21590, 27940, "na_letter_8.5x11in"},
        {"Legal", 21590, 35560, "na_legal_8.5x14in"},
        {"Tabloid", 27940, 43180, "na_ledger_11x17in"},
    }};
    for (const Named &size : named) {
        if (text.compare(QLatin1String(size.name), Qt::CaseInsensitive) == 0) {
            paper = {size.shortSide, size.longSide, QLatin1String(size.media)};
            return true;
        }
    }
    static const QRegularExpression custom(
        QStringLiteral("^([0-9]{1,4}(?:\\.[0-9]{1,2})?)[xX]([0-9]{1,4}(?:\\.[0-9]{1,2})?)$"));
    const QRegularExpressionMatch match = custom.match(text);
    if (!match.hasMatch())
        return false;
    const double width = match.captured(1).toDouble();
    const double height = match.captured(2).toDouble();
    // LibreOffice takes pages from about a centimetre to three metres a side.
    constexpr double smallest = 10;
    constexpr double largest = 3000;
    if (std::min(width, height) < smallest || std::max(width, height) > largest)
        return false;
    const QString shortText = width <= height ? match.captured(1) : match.captured(2);
    const QString longText = width <= height ? match.captured(2) : match.captured(1);
    // PWG's self-describing name for a size without one of its own.
    const QString size = shortText + QLatin1Char('x') + longText + QStringLiteral("mm");
    paper = {int(std::lround(std::min(width, height) * 100)), int(std::lround(std::max(width, height) * 100)),
             QStringLiteral("custom_") + size + QLatin1Char('_') + size};
    return true;
}
