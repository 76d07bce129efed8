// SPDX-License-Identifier: GPL-3.0-or-later
#include "cupsjob.h"

#include "printing/engineerror.h"
#include "printing/libreoffice/officeregistry.h"
#include "printing/printingtexts.h"
#include "printing/printsettings.h"

#include <QElapsedTimer>
#include <QFile>
#include <cups/cups.h>

#include <array>

namespace {

struct Deadline
{
    QElapsedTimer timer;
    qint64 endMs = 0;
    // While a job is cancelled a stop must not cut the cancel short.
    bool cancelling = false;
};

// libcups asks this whenever an answer is late; 0 gives up the wait.
int keepWaiting(http_t *, void *data)
{
    const auto *deadline = static_cast<const Deadline *>(data);
    if (OfficeRegistry::stopRequested() && !deadline->cancelling)
        return 0;
    return deadline->timer.elapsed() < deadline->endMs ? 1 : 0;
}

class Connection final
{
public:
    Connection(int connectMs, Deadline &deadline)
    {
        // Checked now and then while connecting, so a stop is not kept waiting.
        int cancel = OfficeRegistry::stopRequested() ? 1 : 0;
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, connectMs, &cancel);
        if (!m_http)
            throw EngineError(
                QStringLiteral("No CUPS print server answers at %1.").arg(QString::fromUtf8(cupsServer())));
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

} // namespace

CupsJob::CupsJob(int connectMs, int answerMs)
    : m_connectMs(connectMs)
    , m_answerMs(answerMs)
{}

int CupsJob::submit(const QString &printer, const QString &pdf, const QString &title,
                    const PrintSettings &settings) const
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(QStringLiteral("Cannot read what LibreOffice rendered: %1").arg(file.errorString()));

    Deadline deadline;
    deadline.endMs = m_answerMs;
    deadline.timer.start();
    const Connection http(m_connectMs, deadline);

    // A plain print asks for nothing, so the queue's own defaults apply.
    cups_option_t *options = nullptr;
    int count = 0;
    if (settings.copies > 1) {
        count = cupsAddOption("copies", QByteArray::number(settings.copies).constData(), count, &options);
        count = cupsAddOption("collate", settings.collate ? "true" : "false", count, &options);
    }
    // Sides, not a driver option: a queue's default for sides would win over a driver option.
    switch (settings.duplex) {
    case PrintSettings::Duplex::PrinterDefault:
        break;
    case PrintSettings::Duplex::Off:
        count = cupsAddOption("sides", "one-sided", count, &options);
        break;
    case PrintSettings::Duplex::LongEdge:
        count = cupsAddOption("sides", "two-sided-long-edge", count, &options);
        break;
    case PrintSettings::Duplex::ShortEdge:
        count = cupsAddOption("sides", "two-sided-short-edge", count, &options);
        break;
    }

    const QByteArray queue = printer.toUtf8();
    const QByteArray name = title.toUtf8();
    const int job = cupsCreateJob(http.get(), queue.constData(), name.constData(), count, options);
    cupsFreeOptions(count, options);
    const auto failed = [&](const QString &reason) {
        if (OfficeRegistry::stopRequested())
            return EngineError(PrintingTexts::stopped());
        if (deadline.timer.elapsed() >= deadline.endMs)
            return EngineError(
                QStringLiteral("The CUPS print server did not answer within %1 seconds.").arg(m_answerMs / 1000.0));
        return EngineError(QStringLiteral("CUPS did not take the job for \"%1\": %2").arg(printer, reason));
    };
    if (job <= 0)
        throw failed(serverReason());

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
    if (sent && finished)
        return job;
    const QString reason = serverReason();
    const EngineError failure = failed(reason);
    // A job without its whole document must never print.
    deadline.cancelling = true;
    deadline.endMs = deadline.timer.elapsed() + 2000;
    cupsCancelJob2(http.get(), queue.constData(), job, 0);
    throw failure;
}
