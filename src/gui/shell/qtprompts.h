// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/services/prompts.h"

#include <QPointer>
#include <QWidget>

class QMessageBox;

// The toolkit's own dialogs.
class QtPrompts final : public Prompts
{
public:
    // parent: the window the dialogs belong to, once there is one.
    void setParentWindow(QWidget *parent);

    MessageAnswer messageBox(const QString &text, MessageStyle style, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title, const QString &defaultAnswer) override;
    QStringList openFiles(const QString &title, const QString &filter) override;
    QString browseForFolder(const QString &title) override;

    // Readies a box for messageBox: title, text, buttons and icon of the style.
    static void setUpMessageBox(QMessageBox &box, const QString &text, MessageStyle style, const QString &title);

private:
    QPointer<QWidget> m_parent;
};
