// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/commands/commandoperations.h"

#include <QIcon>

class QMainWindow;
class QToolBar;

// The window's toolbar and menu bar. Every command calls one of the operations
// it was given and returns when that has finished.
namespace CommandBar {

// The "Standard" toolbar at the top: "Add Files", "Add Folder", "Clear List"
// and "Start Printing", each with its 48 by 48 icon and its caption under it.
// A click hands the button's command id to operations.execute.
QToolBar *CreateStaticBar(QMainWindow &window, const CommandOperations &operations);

// The "&File", "&Options" and "&Help" menus.
void CreateMenus(QMainWindow &window, const CommandOperations &operations);

QIcon applicationIcon();

} // namespace CommandBar
