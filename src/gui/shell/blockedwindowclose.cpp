// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/blockedwindowclose.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace {

std::uint32_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 1, std::uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return 0;
    const std::uint32_t value = reply->atom;
    std::free(reply); // NOLINT(cppcoreguidelines-no-malloc): xcb hands its replies over to free()
    return value;
}

} // namespace

BlockedWindowClose::BlockedWindowClose(QWidget &window, std::function<void()> onBlockedClose)
    : m_window(&window)
    , m_onBlockedClose(std::move(onBlockedClose))
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    m_protocols = atom(x11->connection(), "WM_PROTOCOLS");
    m_deleteWindow = atom(x11->connection(), "WM_DELETE_WINDOW");
    if (m_protocols != 0 && m_deleteWindow != 0)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

BlockedWindowClose::~BlockedWindowClose()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool BlockedWindowClose::nativeEventFilter(const QByteArray &eventType, void *message, qintptr * /*result*/)
{
    if (eventType != "xcb_generic_event_t" || !m_window || !QApplication::activeModalWidget())
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *client = static_cast<const xcb_client_message_event_t *>(message);
    if (client->format != 32 || client->type != m_protocols || client->data.data32[0] != m_deleteWindow
        || client->window != xcb_window_t(m_window->winId()))
        return false;
    // Left to the toolkit too, which drops it; acted on from the event loop.
    QMetaObject::invokeMethod(m_window, m_onBlockedClose, Qt::QueuedConnection);
    return false;
}

void BlockedWindowClose::closeOverBoxes(QWidget &window)
{
    window.close();
    // Closed once the window's own close has run: during a run that only
    // marks the run to end, and no box may then wait for an answer.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (dialog && dialog->isVisible() && dialog->isModal())
            dialog->reject();
    }
}
