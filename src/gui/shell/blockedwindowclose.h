// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>

// The toolkit drops the window manager's request to close a window while a
// modal box or dialog blocks that window, so closing the main window over a
// message box did nothing. This watch sees that request on its way in (X11;
// elsewhere it does nothing) and hands it to onBlockedClose.
class BlockedWindowClose final : public QAbstractNativeEventFilter
{
public:
    BlockedWindowClose(QWidget &window, std::function<void()> onBlockedClose);
    ~BlockedWindowClose() override;
    BlockedWindowClose(const BlockedWindowClose &) = delete;
    BlockedWindowClose &operator=(const BlockedWindowClose &) = delete;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // What the window's close means while a box is open: the window closes
    // as the user closes it, and the boxes open over it are closed unanswered.
    static void closeOverBoxes(QWidget &window);

private:
    QPointer<QWidget> m_window;
    std::function<void()> m_onBlockedClose;
    std::uint32_t m_protocols = 0;
    std::uint32_t m_deleteWindow = 0;
};
