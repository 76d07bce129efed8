// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// One run of corvane-print: its exit status and what it wrote.
struct CommandRun
{
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray rawOut;

    // input: what the run reads on its standard input.
    static CommandRun of(const QStringList &arguments,
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                         const QByteArray &input = QByteArray())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(CORVANE_PRINT_BINARY), arguments);
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(600000);
        const QByteArray out = process.readAllStandardOutput();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromLocal8Bit(out),
                QString::fromLocal8Bit(process.readAllStandardError()), out};
    }
};
