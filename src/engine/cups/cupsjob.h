// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printersystem.h"

#include <QByteArray>
#include <QString>

#include <functional>

struct PrintSettings;

// One PDF handed to a CUPS queue over a connection of its own, so that every
// wait on the server is bounded and gives way to a stop request.
class CupsJob final
{
public:
    // connectMs bounds the connection, answerMs the whole exchange after it;
    // stopRequested, asked while waiting, ends the wait when true.
    CupsJob(int connectMs, int answerMs, std::function<bool()> stopRequested);

    // What one job asks for beyond the sides of the settings: the paper its
    // pages were laid out on (empty: the queue's default), which pages of the
    // PDF it prints (empty: all) and how many copies, collated as settings say.
    struct Part
    {
        QByteArray media;
        QByteArray pageRanges;
        int copies = 1;
    };

    // Creates the job, sends the PDF and closes it. Throws EngineError with
    // the server's reason; a job already created is cancelled then, so that
    // no half job prints.
    PrintedJob submit(const QString &printer, const QString &pdf, const QString &title, const PrintSettings &settings,
                      const Part &part) const;

private:
    int m_connectMs;
    int m_answerMs;
    std::function<bool()> m_stopRequested;
};
