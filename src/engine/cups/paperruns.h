// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QSizeF>

#include <vector>

// A rendering's pages grouped by the paper they were laid out on, in page
// order: a job asks for one paper, so pages on another paper would be shrunk
// onto it (or printed on paper too large) unless they go as a job of their own.
class PaperRuns final
{
public:
    struct Run
    {
        // Pages counted from 1, both included.
        int firstPage = 0;
        int lastPage = 0;
        // The PWG name CUPS is asked for ("iso_a4_210x297mm"); a page turned
        // landscape is on the same paper as an upright one.
        QByteArray media;
    };

    // Pages of consecutive sizes that name the same paper make one run.
    static std::vector<Run> of(const QList<QSizeF> &pageSizesInPoints);
};
