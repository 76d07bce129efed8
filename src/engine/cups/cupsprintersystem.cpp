// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/cups/cupsprintersystem.h"

#include "core/common/logcategories.h"
#include "core/printing/engineerror.h"
#include "core/printing/printingtexts.h"
#include "core/printing/printsettings.h"
#include "engine/cups/cupsjob.h"
#include "engine/cups/cupsserveraddress.h"
#include "engine/cups/paperruns.h"

#include <cups/cups.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

QString server()
{
    return cupsServerAddress();
}

// libcups reports a server that is not there with the errno of its socket
// ("Bad file descriptor"); the user needs to know which server was asked.
QString unreachable()
{
    if (cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || cupsLastError() == IPP_STATUS_ERROR_INTERNAL)
        return QStringLiteral("No CUPS print server answers at %1. Is CUPS installed and running?").arg(server());
    return QStringLiteral("The CUPS print server at %1 refused the list of printers: %2")
        .arg(server(), QString::fromUtf8(cupsLastErrorString()));
}

// How long one look-up may still wait, and whether it was told to stop.
struct Bound
{
    std::chrono::steady_clock::time_point deadline;
    const std::function<bool()> *stopRequested = nullptr;
    bool timedOut = false;
    bool stopped = false;
};

// Called by libcups each time a wait on the server has passed the poll
// interval: nonzero waits on, zero gives up.
int keepWaiting(http_t *, void *data)
{
    auto *bound = static_cast<Bound *>(data);
    if (bound->stopRequested && *bound->stopRequested && (*bound->stopRequested)()) {
        bound->stopped = true;
        return 0;
    }
    if (std::chrono::steady_clock::now() >= bound->deadline) {
        bound->timedOut = true;
        return 0;
    }
    return 1;
}

// The destinations, read over a connection of our own whose every wait is
// bounded; libcups' own connection waits for minutes. Freed when it goes.
class Destinations final
{
public:
    Destinations(int boundMs, const std::function<bool()> &stopRequested)
    {
        m_bound.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
        m_bound.stopRequested = &stopRequested;
        if (stopRequested && stopRequested())
            throw EngineError(PrintingTexts::stopped());
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, boundMs, nullptr);
        if (!m_http)
            throw EngineError(
                QStringLiteral("No CUPS print server answers at %1. Is CUPS installed and running?").arg(server()));
        // Short slices, so that a stop request is seen within a fraction of a second.
        httpSetTimeout(m_http, 0.2, keepWaiting, &m_bound);
        m_count = cupsGetDests2(m_http, &m_dests);
        qCDebug(lcCups) << m_count << "printers from" << server() << "status" << ippErrorString(cupsLastError());
        QString failure;
        if (m_bound.stopped)
            failure = PrintingTexts::stopped();
        else if (m_bound.timedOut)
            failure = QStringLiteral("The CUPS print server at %1 did not answer within %2 seconds.")
                          .arg(server())
                          .arg(boundMs / 1000.0);
        else if (m_count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE
                 && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
            failure = unreachable();
        if (!failure.isEmpty()) {
            release();
            throw EngineError(failure);
        }
    }
    ~Destinations() { release(); }
    Destinations(const Destinations &) = delete;
    Destinations &operator=(const Destinations &) = delete;

    int count() const { return m_count; }
    cups_dest_t *dests() const { return m_dests; }

private:
    void release()
    {
        cupsFreeDests(m_count, m_dests);
        m_dests = nullptr;
        m_count = 0;
        if (m_http)
            httpClose(m_http);
        m_http = nullptr;
    }

    Bound m_bound;
    http_t *m_http = nullptr;
    cups_dest_t *m_dests = nullptr;
    int m_count = 0;
};

} // namespace

CupsPrinterSystem::CupsPrinterSystem(int boundMs, std::function<bool()> stopRequested)
    : m_boundMs(boundMs)
    , m_stopRequested(std::move(stopRequested))
{}

QStringList CupsPrinterSystem::printerNames()
{
    const Destinations destinations(m_boundMs, m_stopRequested);
    QStringList names;
    for (int i = 0; i < destinations.count(); ++i) {
        const cups_dest_t &dest = destinations.dests()[i];
        if (!dest.instance)
            names.append(QString::fromUtf8(dest.name));
    }
    return names;
}

QString CupsPrinterSystem::defaultPrinterName()
{
    const Destinations destinations(m_boundMs, m_stopRequested);
    const cups_dest_t *dest = cupsGetDest(nullptr, nullptr, destinations.count(), destinations.dests());
    if (!dest)
        throw EngineError(QStringLiteral("There is no default printer."));
    return QString::fromUtf8(dest->name);
}

void CupsPrinterSystem::printPdf(const QString &printer, const QString &pdf, const QString &title,
                                 const PrintSettings &settings, const QList<QSizeF> &pageSizes)
{
    // A local server answers at once; the document itself may take a while
    // to reach a remote one.
    constexpr int connectMs = 15000;
    constexpr int answerMs = 120000;
    const CupsJob cups(connectMs, answerMs, m_stopRequested);
    // Pages laid out on the paper --paper named are on that paper, by its own name.
    std::vector<PaperRuns::Run> runs = PaperRuns::of(pageSizes);
    if (settings.paper.isSet())
        runs = {{1, int(pageSizes.size()), settings.paper.media.toUtf8()}};
    // Whole copies of a workbook that goes as several jobs are the sequence
    // of its jobs repeated; within one job the server makes them.
    const bool split = runs.size() > 1;
    const bool repeated = split && settings.copies > 1 && settings.collate;
    const int rounds = repeated ? settings.copies : 1;
    const std::size_t perRound = std::max<std::size_t>(runs.size(), 1);
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < perRound; ++i) {
            CupsJob::Part part;
            part.copies = repeated ? 1 : settings.copies;
            if (!runs.empty())
                part.media = runs[i].media;
            if (split)
                part.pageRanges = QByteArray::number(runs[i].firstPage) + '-' + QByteArray::number(runs[i].lastPage);
            qCDebug(lcCups).noquote() << "sending" << pdf << "to" << printer << "on" << server() << part.media
                                      << part.pageRanges;
            PrintedJob job = cups.submit(printer, pdf, title, settings, part);
            job.more = round + 1 < rounds || i + 1 < perRound;
            // Told first: a program killed right after must still have its record.
            if (settings.printed)
                settings.printed(job);
            qCDebug(lcCups) << "queued as job" << job.id;
        }
    }
}
