// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/services/prompts.h"

#include <QList>
#include <QStringList>

// Records every dialog the program shows and answers from a script, so no
// modal dialog ever blocks a test.
class FakePrompts final : public Prompts
{
public:
    struct Message
    {
        QString text;
        MessageStyle style;
        QString title;
    };

    MessageAnswer messageBox(const QString &text, MessageStyle style, const QString &title) override
    {
        messages.append({text, style, title});
        if (style != MessageStyle::YesNo)
            return MessageAnswer::Ok;
        return yesNoAnswers.isEmpty() ? MessageAnswer::No : yesNoAnswers.takeFirst();
    }

    QString inputBox(const QString &prompt, const QString &title, const QString &defaultAnswer) override
    {
        inputs.append({prompt, title, defaultAnswer});
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    }

    QStringList openFiles(const QString &title, const QString &filter) override
    {
        openFileDialogs.append({title, filter});
        return openFileAnswers.isEmpty() ? QStringList() : openFileAnswers.takeFirst();
    }

    QString browseForFolder(const QString &title) override
    {
        folderBrowsers.append(title);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }

    QList<Message> messages;
    QList<QStringList> inputs;          // prompt, title, default
    QList<QStringList> openFileDialogs; // title, filter
    QStringList folderBrowsers;

    QList<MessageAnswer> yesNoAnswers;
    QStringList inputAnswers;
    QList<QStringList> openFileAnswers;
    QStringList folderAnswers;
};
