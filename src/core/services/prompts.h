// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Message-box styles by the numbers the program has always used for them.
enum class MessageStyle : std::uint8_t {
    Ok = 0,
    YesNo = 4,
    OkExclamation = 48,
};

enum class MessageAnswer : std::uint8_t {
    Ok,
    Yes,
    No,
};

// Everything the program asks of or tells the user in a modal dialog.
class Prompts
{
public:
    virtual ~Prompts() = default;

    virtual MessageAnswer messageBox(const QString &text, MessageStyle style, const QString &title) = 0;

    // The answer typed, or an empty text when the user cancelled.
    virtual QString inputBox(const QString &prompt, const QString &title, const QString &defaultAnswer) = 0;

    // Full paths of the chosen files, in the dialog's order; empty on cancel. filter: the
    // file types offered, separated by ";;", the first one chosen at the start.
    virtual QStringList openFiles(const QString &title, const QString &filter) = 0;

    // The chosen folder, or an empty text on cancel.
    virtual QString browseForFolder(const QString &title) = 0;
};
