// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/officemessages.h"

#include <QRegularExpression>

namespace OfficeMessages {

QString readable(const QString &doing, const QString &message)
{
    // LibreOffice ends its messages with the place in its sources they come from.
    static const QRegularExpression sourcePlace(QStringLiteral("\\s+at \\S+\\.[ch]xx:\\d+\\s*$"));
    QString cleaned = QString(message).remove(sourcePlace).trimmed();
    if (cleaned.contains(QLatin1String("Error Area:Io")) && cleaned.contains(QLatin1String("Class:Write")))
        return QStringLiteral("LibreOffice could not write while %1: the disk may be full or not writable.").arg(doing);
    // Function names, internal addresses and error codes tell the user nothing.
    static const QRegularExpression internal(QStringLiteral("::|<?[a-z.]+:///?\\S*|\\b0x[0-9a-fA-F]+\\b|\\.[ch]xx\\b"));
    if (cleaned.isEmpty() || cleaned.contains(internal))
        return QStringLiteral("LibreOffice failed while %1.").arg(doing);
    return cleaned;
}

} // namespace OfficeMessages
