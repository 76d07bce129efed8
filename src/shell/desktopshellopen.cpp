// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopshellopen.h"

#include <QDesktopServices>
#include <QUrl>

QUrl DesktopShellOpen::urlFor(const QString &target)
{
    for (const char *scheme : {"http://", "https://", "mailto:", "file://"}) {
        if (target.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return QUrl(target, QUrl::StrictMode);
    }
    return QUrl::fromLocalFile(target);
}

void DesktopShellOpen::open(const QString &target)
{
    QDesktopServices::openUrl(urlFor(target));
}
