// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

class Form1;
class QToolBar;

// The window's toolbar and menu bar. Every command calls an operation of the
// main window and returns when it has finished.
namespace CommandBar {

// The "Standard" toolbar at the top: "Add Files", "Add Folder", "Clear List"
// and "Start Printing", each with its 48 by 48 icon and its caption under it.
// A click hands the button's command id to Form1::CommandBars_Execute.
QToolBar *CreateStaticBar(Form1 &form);

// The "&File", "&Options" and "&Help" menus.
void CreateMenus(Form1 &form);

QIcon applicationIcon();

// The icon of a toolbar command, keyed by its command id; null for any other id.
QIcon commandIcon(int id);

} // namespace CommandBar
