// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/officeledger.h"

#include <QList>

QByteArray OfficeLedger::toText() const
{
    QByteArray text = "owner-pid=" + QByteArray::number(ownerPid) + "\nowner-start=" + QByteArray::number(ownerStart)
        + "\noffice-pid=" + QByteArray::number(officePid) + "\nprocess-group=" + QByteArray::number(processGroup)
        + "\npipe-name=" + pipeName.toUtf8() + '\n';
    for (const QString &pipe : pipes)
        text += "pipe=" + pipe.toUtf8() + '\n';
    // Written last: a ledger cut short by a crash has no end and is not trusted.
    text += "end\n";
    return text;
}

std::optional<OfficeLedger> OfficeLedger::fromText(const QByteArray &text)
{
    OfficeLedger ledger;
    bool complete = false;
    for (const QByteArray &line : text.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : line.mid(equals + 1);
        if (line == "end")
            complete = true;
        else if (key == "owner-pid")
            ledger.ownerPid = pid_t(value.toInt());
        else if (key == "owner-start")
            ledger.ownerStart = value.toULongLong();
        else if (key == "office-pid")
            ledger.officePid = pid_t(value.toInt());
        else if (key == "process-group")
            ledger.processGroup = pid_t(value.toInt());
        else if (key == "pipe-name")
            ledger.pipeName = QString::fromUtf8(value);
        else if (key == "pipe")
            ledger.pipes.append(QString::fromUtf8(value));
    }
    // The pipe name finds the office's processes; a ledger without one is of no use.
    if (!complete || ledger.ownerPid <= 0 || ledger.pipeName.isEmpty() || ledger.pipeName.contains(QLatin1Char(';')))
        return std::nullopt;
    return ledger;
}

QByteArray OfficeLedger::acceptArgument() const
{
    return "--accept=pipe,name=" + pipeName.toUtf8() + ";urp;";
}
