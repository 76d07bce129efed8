// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/inputblocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

} // namespace

InputBlocker::InputBlocker(QWidget &window, std::function<void()> onEscape)
    : m_window(&window)
    , m_onEscape(std::move(onEscape))
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_window || !isUserInput(event->type()) || !watched->isWidgetType())
        return false;
    const auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() != m_window)
        return false;
    if (event->type() == QEvent::KeyPress && m_onEscape) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && !key->isAutoRepeat())
            m_onEscape();
    }
    return true;
}
