// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/cups/cupsjob.h"

#include "core/printing/engineerror.h"
#include "core/printing/printingtexts.h"
#include "core/printing/printsettings.h"
#include "engine/cups/cupsserveraddress.h"

#include <QElapsedTimer>
#include <QFile>
#include <cups/cups.h>

#include <algorithm>
#include <array>
#include <functional>

namespace {

struct Deadline
{
    QElapsedTimer timer;
    qint64 endMs = 0;
    const std::function<bool()> *stopRequested = nullptr;
    // While a job is cancelled a stop must not cut the cancel short.
    bool cancelling = false;

    bool isStopped() const { return stopRequested && *stopRequested && (*stopRequested)(); }
};

// libcups asks this whenever an answer is late; 0 gives up the wait.
int keepWaiting(http_t *, void *data)
{
    const auto *deadline = static_cast<const Deadline *>(data);
    if (deadline->isStopped() && !deadline->cancelling)
        return 0;
    return deadline->timer.elapsed() < deadline->endMs ? 1 : 0;
}

class Connection final
{
public:
    Connection(int connectMs, Deadline &deadline)
    {
        // Tried in short slices, so that a stop request is not kept waiting
        // for the whole connection bound.
        constexpr int sliceMs = 250;
        QElapsedTimer connecting;
        connecting.start();
        while (!m_http && !deadline.isStopped() && connecting.elapsed() < connectMs) {
            const int slice = int(std::min<qint64>(sliceMs, connectMs - connecting.elapsed()));
            const qint64 tried = connecting.elapsed();
            m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, slice, nullptr);
            // A refused connection fails at once; asking again would not help.
            if (!m_http && connecting.elapsed() - tried < slice / 2)
                break;
        }
        if (!m_http && deadline.isStopped())
            throw EngineError(PrintingTexts::stopped());
        if (!m_http)
            throw EngineError(QStringLiteral("No CUPS print server answers at %1.").arg(cupsServerAddress()));
        // The callback is asked every half second, the bound itself is the deadline's.
        httpSetTimeout(m_http, 0.5, keepWaiting, &deadline);
    }
    ~Connection() { httpClose(m_http); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    http_t *get() const { return m_http; }

private:
    http_t *m_http = nullptr;
};

QString serverReason()
{
    return QString::fromUtf8(cupsLastErrorString());
}

struct QueueState
{
    bool paused = false;
    // What the administrator or the printer said of the queue's state, if anything.
    QString message;
};

QueueState queueState(http_t *http, const QByteArray &queue)
{
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0, "/printers/%s",
                     queue.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char *const wanted[] = {"printer-state", "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    ipp_t *response = cupsDoRequest(http, request, "/");
    QueueState state;
    if (response) {
        state.paused
            = ippGetInteger(ippFindAttribute(response, "printer-state", IPP_TAG_ENUM), 0) == IPP_PSTATE_STOPPED;
        state.message = QString::fromUtf8(
                            ippGetString(ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT), 0, nullptr))
                            .trimmed();
        ippDelete(response);
    }
    return state;
}

QString withQueueMessage(const QString &text, const QueueState &state)
{
    return state.message.isEmpty() ? text : QStringLiteral("%1 (\"%2\")").arg(text, state.message);
}

// A plain print asks only for its paper, so the queue's own defaults apply to
// everything else.
int jobOptions(const PrintSettings &settings, const CupsJob::Part &part, cups_option_t **options)
{
    int count = 0;
    if (part.copies > 1) {
        count = cupsAddOption("copies", QByteArray::number(part.copies).constData(), count, options);
        count = cupsAddOption("collate", settings.collate ? "true" : "false", count, options);
    }
    // Sides, not a driver option: a queue's default for sides would win over a driver option.
    switch (settings.duplex) {
    case PrintSettings::Duplex::PrinterDefault:
        break;
    case PrintSettings::Duplex::Off:
        count = cupsAddOption("sides", "one-sided", count, options);
        break;
    case PrintSettings::Duplex::LongEdge:
        count = cupsAddOption("sides", "two-sided-long-edge", count, options);
        break;
    case PrintSettings::Duplex::ShortEdge:
        count = cupsAddOption("sides", "two-sided-short-edge", count, options);
        break;
    }
    // Without it CUPS fits every page to the queue's default paper; with it a
    // queue that has the paper prints the pages as they were laid out.
    if (!part.media.isEmpty())
        count = cupsAddOption("media", part.media.constData(), count, options);
    if (!part.pageRanges.isEmpty())
        count = cupsAddOption("page-ranges", part.pageRanges.constData(), count, options);
    return count;
}

} // namespace

CupsJob::CupsJob(int connectMs, int answerMs, std::function<bool()> stopRequested)
    : m_connectMs(connectMs)
    , m_answerMs(answerMs)
    , m_stopRequested(std::move(stopRequested))
{}

PrintedJob CupsJob::submit(const QString &printer, const QString &pdf, const QString &title,
                           const PrintSettings &settings, const Part &part) const
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(QStringLiteral("Cannot read what LibreOffice rendered: %1").arg(file.errorString()));

    Deadline deadline;
    deadline.endMs = m_answerMs;
    deadline.stopRequested = &m_stopRequested;
    deadline.timer.start();
    const Connection http(m_connectMs, deadline);

    cups_option_t *options = nullptr;
    const int count = jobOptions(settings, part, &options);

    const QByteArray queue = printer.toUtf8();
    const QByteArray name = title.toUtf8();
    // Asked first: a queue that refuses the job says why only here.
    const QueueState state = queueState(http.get(), queue);
    const int job = cupsCreateJob(http.get(), queue.constData(), name.constData(), count, options);
    cupsFreeOptions(count, options);
    const auto failed = [&](const QString &reason) {
        if (deadline.isStopped())
            return EngineError(PrintingTexts::stopped());
        if (deadline.timer.elapsed() >= deadline.endMs)
            return EngineError(
                QStringLiteral("The CUPS print server did not answer within %1 seconds.").arg(m_answerMs / 1000.0));
        return EngineError(QStringLiteral("CUPS did not take the job for \"%1\": %2").arg(printer, reason));
    };
    if (job <= 0) {
        const QString reason = serverReason();
        throw failed(withQueueMessage(reason, state));
    }

    const bool started = cupsStartDocument(http.get(), queue.constData(), job, name.constData(), CUPS_FORMAT_PDF, 1)
        == HTTP_STATUS_CONTINUE;
    bool sent = started;
    std::array<char, 65536> buffer{};
    while (sent && !file.atEnd()) {
        const qint64 read = file.read(buffer.data(), qint64(buffer.size()));
        sent = read >= 0 && cupsWriteRequestData(http.get(), buffer.data(), std::size_t(read)) == HTTP_STATUS_CONTINUE;
    }
    const bool finished
        = started && cupsFinishDocument(http.get(), queue.constData()) < IPP_STATUS_REDIRECTION_OTHER_SITE;
    if (sent && finished) {
        PrintedJob printed;
        printed.id = job;
        if (state.paused)
            printed.waiting = withQueueMessage(
                QStringLiteral("The queue \"%1\" is paused; job %2 waits until it is resumed.").arg(printer).arg(job),
                state);
        return printed;
    }
    const QString reason = serverReason();
    const EngineError failure = failed(reason);
    // A job without its whole document must never print.
    deadline.cancelling = true;
    deadline.endMs = deadline.timer.elapsed() + 2000;
    const bool cancelled = cupsCancelJob2(http.get(), queue.constData(), job, 0) == IPP_STATUS_OK;
    // Sent whole but neither confirmed nor cancelled: CUPS may print it.
    if (sent && started && !cancelled)
        throw EngineError(QStringLiteral("%1 Job %2 on \"%3\" was sent whole but not confirmed; %4.")
                              .arg(failure.description())
                              .arg(job)
                              .arg(printer, PrintingTexts::mayHavePrinted()),
                          EngineError::Kind::MayHavePrinted);
    throw failure;
}
