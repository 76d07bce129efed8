// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/services/prompts.h"

#include <cstdio>
#include <functional>
#include <string>

// Dialogs as a terminal program has them: messages and error reports go to
// standard error, the one question is asked on the terminal, or answered by
// --yes, or answered "no" when nobody is there to ask.
class TerminalPrompts final : public Prompts
{
public:
    // beforeOutput: called before anything is written, to clear a progress line.
    // quiet: whether messages are to be dropped, e.g. once the user stopped the run at once.
    // context: a line written before each error report when standard error
    // is not a terminal (a log), naming what the report belongs to.
    // interrupted: whether the user pressed Ctrl+C; it ends a question at once, answered "no".
    TerminalPrompts(bool assumeYes, std::function<void()> beforeOutput, std::function<bool()> quiet,
                    std::function<QString()> context = {}, std::function<bool()> interrupted = {});

    MessageAnswer messageBox(const QString &text, MessageStyle style, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultAnswer) override;
    QStringList openFiles(const QString &title, const QString &filter) override;
    QString browseForFolder(const QString &title) override;

    // Where "Done." and the like go: standard output unless something else
    // (a report on standard output) needs it.
    void setResultStream(std::FILE *stream);

    // Line breaks of the dialog texts as a terminal wants them.
    static QString forTerminal(const QString &text);

private:
    // A line from the terminal; false when there is none or the user interrupted.
    bool readAnswer(std::string &answer) const;

    bool m_assumeYes;
    std::function<void()> m_beforeOutput;
    std::function<bool()> m_quiet;
    std::function<QString()> m_context;
    std::function<bool()> m_interrupted;
    std::FILE *m_results = stdout;
};
