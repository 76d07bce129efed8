// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTabWidget>

// The window's two tabs. Controls on a tab are placed in the tab control's
// own coordinates, tab row included, so the control knows where its pages sit.
class TabControl final : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabControl(QWidget *parent = nullptr);

    // Where a page's top-left corner sits inside the tab control.
    QPoint pageOrigin() const;
};
