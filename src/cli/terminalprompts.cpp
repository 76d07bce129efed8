// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminalprompts.h"

#include <cstdio>
#include <iostream>
#include <string>

#include <unistd.h>

TerminalPrompts::TerminalPrompts(bool assumeYes, std::function<void()> beforeOutput, std::function<bool()> quiet,
                                 std::function<QString()> context)
    : m_assumeYes(assumeYes)
    , m_beforeOutput(std::move(beforeOutput))
    , m_quiet(std::move(quiet))
    , m_context(std::move(context))
{}

QString TerminalPrompts::forTerminal(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

MessageAnswer TerminalPrompts::messageBox(const QString &text, MessageStyle style, const QString &title)
{
    if (m_beforeOutput)
        m_beforeOutput();
    const QByteArray shown = forTerminal(text).toLocal8Bit();
    if (style != MessageStyle::YesNo) {
        if (m_quiet && m_quiet())
            return MessageAnswer::Ok;
        // Error reports are diagnostics; "Done." and the like are the run's result.
        if (style == MessageStyle::OkExclamation && m_context && !::isatty(STDERR_FILENO)) {
            const QString context = m_context();
            if (!context.isEmpty())
                std::fprintf(stderr, "corvane-print: %s\n", context.toLocal8Bit().constData());
        }
        if (style == MessageStyle::OkExclamation)
            std::fprintf(stderr, "%s: %s\n\n", title.toLocal8Bit().constData(), shown.constData());
        else
            std::fprintf(m_results, "%s\n", shown.constData());
        return MessageAnswer::Ok;
    }

    std::fprintf(stderr, "%s\n", shown.constData());
    if (m_assumeYes) {
        std::fprintf(stderr, "(yes, as --yes asks)\n");
        return MessageAnswer::Yes;
    }
    if (!::isatty(STDIN_FILENO)) {
        std::fprintf(stderr, "(no: nobody to ask; --yes goes on regardless)\n");
        return MessageAnswer::No;
    }
    std::fprintf(stderr, "[y/N] ");
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer))
        return MessageAnswer::No;
    return (!answer.empty() && (answer[0] == 'y' || answer[0] == 'Y')) ? MessageAnswer::Yes : MessageAnswer::No;
}

// The command-line printer takes its files and folders as arguments; it never
// needs these dialogs.
QString TerminalPrompts::inputBox(const QString &, const QString &, const QString &)
{
    return {};
}

QStringList TerminalPrompts::openFiles(const QString &, const QString &)
{
    return {};
}

QString TerminalPrompts::browseForFolder(const QString &)
{
    return {};
}

void TerminalPrompts::setResultStream(std::FILE *stream)
{
    m_results = stream;
}
