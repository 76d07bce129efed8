// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/terminalprompts.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <poll.h>
#include <unistd.h>

TerminalPrompts::TerminalPrompts(bool assumeYes, std::function<void()> beforeOutput, std::function<bool()> quiet,
                                 std::function<QString()> context, std::function<bool()> interrupted)
    : m_assumeYes(assumeYes)
    , m_beforeOutput(std::move(beforeOutput))
    , m_quiet(std::move(quiet))
    , m_context(std::move(context))
    , m_interrupted(std::move(interrupted))
{}

bool TerminalPrompts::readAnswer(std::string &answer) const
{
    // Not through the C++ streams: their read restarts after a signal, and
    // Ctrl+C must end the question at once. A short poll sees the interrupt
    // even when the signal went to another thread.
    for (;;) {
        if (m_interrupted && m_interrupted())
            return false;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&input, 1, 100);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready <= 0)
            continue;
        char byte = 0;
        const ssize_t got = ::read(STDIN_FILENO, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return !answer.empty();
        if (byte == '\n')
            return true;
        answer.push_back(byte);
    }
}

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
    if (!readAnswer(answer)) {
        std::fprintf(stderr, "\n");
        return MessageAnswer::No;
    }
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
