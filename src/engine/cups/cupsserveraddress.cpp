// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/cups/cupsserveraddress.h"

#include <cups/cups.h>

QString cupsServerAddress()
{
    QString host = QString::fromUtf8(cupsServer());
    // A local socket has no port; the standard port goes without saying.
    if (host.startsWith(QLatin1Char('/')) || ippPort() == IPP_PORT)
        return host;
    // An IPv6 address needs its brackets before a port can follow it.
    const bool bareIpv6 = host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('['));
    return (bareIpv6 ? QLatin1Char('[') + host + QLatin1Char(']') : host) + QLatin1Char(':')
        + QString::number(ippPort());
}
