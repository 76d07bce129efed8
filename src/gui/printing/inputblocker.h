// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// While it lives, the window takes no mouse or keyboard input, so nothing can
// start a second run or change the list under a running one. Dialogs of
// their own, such as error reports, still take input. Escape is the one key
// the window still hears: it is handed to onEscape, the user's way to stop.
class InputBlocker final : public QObject
{
    Q_OBJECT

public:
    explicit InputBlocker(QWidget &window, std::function<void()> onEscape = {});
    ~InputBlocker() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    std::function<void()> m_onEscape;
};
