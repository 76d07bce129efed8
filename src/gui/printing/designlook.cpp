// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/designlook.h"

#include "core/common/designlayout.h"

#include <QFont>
#include <QWidget>

namespace DesignLook {

QFont font(bool bold)
{
    QFont result(QStringLiteral("Calibri"));
    result.setPointSizeF(DesignLayout::fontPointSize);
    result.setBold(bold);
    return result;
}

void makeWhite(QWidget &widget, bool fill)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget.setPalette(palette);
    widget.setAutoFillBackground(fill);
}

} // namespace DesignLook
