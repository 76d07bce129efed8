// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/qtprompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

void QtPrompts::setParentWindow(QWidget *parent)
{
    m_parent = parent;
}

void QtPrompts::setUpMessageBox(QMessageBox &box, const QString &text, MessageStyle style, const QString &title)
{
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    // Addresses and paths in a message are there to be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The box wraps a line wider than about half the screen wherever it may,
    // inside a web address too; a line that fits the screen stays whole.
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        label->ensurePolished();
        const QFontMetrics metrics = label->fontMetrics();
        int widest = 0;
        for (const QString &line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const QScreen *screen = box.screen();
        const int room = screen ? screen->availableGeometry().width() * 2 / 3 : 0;
        // A box as narrow as "Done." would leave its frame no room for the
        // title beside the frame's buttons: the box is at least that wide.
        const int titleRoom = metrics.horizontalAdvance(title) + 24 * metrics.averageCharWidth();
        if (widest <= room)
            label->setMinimumWidth(std::max(widest + 2 * metrics.averageCharWidth(), titleRoom));
        else
            label->setMinimumWidth(titleRoom);
    }
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
}

MessageAnswer QtPrompts::messageBox(const QString &text, MessageStyle style, const QString &title)
{
    QMessageBox box(m_parent);
    setUpMessageBox(box, text, style, title);
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
