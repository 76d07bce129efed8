// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtprompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

void QtPrompts::setParentWindow(QWidget *parent)
{
    m_parent = parent;
}

MessageAnswer QtPrompts::messageBox(const QString &text, MessageStyle style, const QString &title)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (style) {
    case MessageStyle::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MessageStyle::OkExclamation:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageStyle::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    const int answer = box.exec();
    if (style != MessageStyle::YesNo)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

QString QtPrompts::inputBox(const QString &prompt, const QString &title, const QString &defaultAnswer)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, defaultAnswer, &ok);
    return ok ? answer : QString();
}

QStringList QtPrompts::openFiles(const QString &title, const QString &filter)
{
    // No folder given: the dialog opens where it was last left.
    return QFileDialog::getOpenFileNames(m_parent, title, QString(), filter);
}

QString QtPrompts::browseForFolder(const QString &title)
{
    return QFileDialog::getExistingDirectory(m_parent, title);
}
