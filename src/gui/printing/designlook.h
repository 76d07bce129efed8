// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QFont;
class QWidget;

// The window's designed look: Calibri 11.25 pt, white backgrounds.
namespace DesignLook {

QFont font(bool bold);

// Gives widget a white background colour; fill: whether it paints it itself
// (frames and the window do; option buttons only carry the colour).
void makeWhite(QWidget &widget, bool fill);

} // namespace DesignLook
