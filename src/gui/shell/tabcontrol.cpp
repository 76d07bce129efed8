// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/tabcontrol.h"

#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

TabControl::TabControl(QWidget *parent)
    : QTabWidget(parent)
{}

QPoint TabControl::pageOrigin() const
{
    // Asked of the style rather than read off a page: before the first show
    // the pages have not been placed yet.
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
}
