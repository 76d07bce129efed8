// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSizeF>
#include <QString>

// What printing needs to know of a PDF that LibreOffice rendered: the paper
// each page was laid out on, and whether anything at all is drawn.
struct RenderedPages
{
    // Each page's size in points, as it is seen (its rotation applied), in
    // page order; empty when the file could not be read.
    QList<QSizeF> sizes;
    // Whether any page draws something: text, a line, a fill, an image, a
    // form field. A page of nothing prints as a white sheet of paper.
    bool inked = true;
    // Why the file could not be read; empty when it was.
    QString unreadable;

    // Reads the file; one that cannot be read counts as inked, with no sizes,
    // so that it prints as it would have without this look.
    static RenderedPages read(const QString &pdf);
};
