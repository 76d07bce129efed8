// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// While it lives, the window takes no mouse or keyboard input, so nothing can
// start a second run or change the list under a running one. Dialogs of
// their own, such as error reports, still take input.
class InputBlocker final : public QObject
{
    Q_OBJECT

public:
    explicit InputBlocker(QWidget &window);
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
};
