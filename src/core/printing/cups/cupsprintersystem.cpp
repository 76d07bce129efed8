// SPDX-License-Identifier: GPL-3.0-or-later
#include "cupsprintersystem.h"

#include "common/logcategories.h"
#include "cupsjob.h"
#include "printing/engineerror.h"

#include <cups/cups.h>

namespace {

// libcups reports a server that is not there with the errno of its socket
// ("Bad file descriptor"); the user needs to know which server was asked.
QString unreachable()
{
    if (cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || cupsLastError() == IPP_STATUS_ERROR_INTERNAL)
        return QStringLiteral("No CUPS print server answers at %1. Is CUPS installed and running?")
            .arg(QString::fromUtf8(cupsServer()));
    return QStringLiteral("The CUPS print server at %1 refused the list of printers: %2")
        .arg(QString::fromUtf8(cupsServer()), QString::fromUtf8(cupsLastErrorString()));
}

// The destinations, freed when it goes.
class Destinations final
{
public:
    Destinations()
        : m_count(cupsGetDests2(CUPS_HTTP_DEFAULT, &m_dests))
    {
        qCDebug(lcCups) << m_count << "printers from" << cupsServer() << "status" << ippErrorString(cupsLastError());
        if (m_count == 0 && cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE
            && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
            throw EngineError(unreachable());
    }
    ~Destinations() { cupsFreeDests(m_count, m_dests); }
    Destinations(const Destinations &) = delete;
    Destinations &operator=(const Destinations &) = delete;

    int count() const { return m_count; }
    cups_dest_t *dests() const { return m_dests; }

private:
    cups_dest_t *m_dests = nullptr;
    int m_count = 0;
};

} // namespace

QStringList CupsPrinterSystem::printerNames()
{
    const Destinations destinations;
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
    const Destinations destinations;
    const cups_dest_t *dest = cupsGetDest(nullptr, nullptr, destinations.count(), destinations.dests());
    if (!dest)
        throw EngineError(QStringLiteral("There is no default printer."));
    return QString::fromUtf8(dest->name);
}

int CupsPrinterSystem::printPdf(const QString &printer, const QString &pdf, const QString &title,
                                const PrintSettings &settings)
{
    // A local server answers at once; the document itself may take a while
    // to reach a remote one.
    constexpr int connectMs = 15000;
    constexpr int answerMs = 120000;
    qCDebug(lcCups).noquote() << "sending" << pdf << "to" << printer << "on" << cupsServer();
    const int job = CupsJob(connectMs, answerMs).submit(printer, pdf, title, settings);
    qCDebug(lcCups) << "queued as job" << job;
    return job;
}
