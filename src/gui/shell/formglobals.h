// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;
class SettingsStore;

// Window-side procedures shared by the program.
namespace Globals {

// Centres the window on the whole screen, work area or not.
void CenterForm(QWidget &window);

// When the skin file "x/o.cjs" of the program folder is a plain file, turns the
// window, its frames, option buttons, check boxes and labels to the button-face
// colour and applies the skin, a style sheet, to the application. Returns
// whether a skin was applied.
bool ApplySkin(QWidget &window, const QString &programFolder);

// Writes the window's placement in twips under Left, Top, Width and Height,
// each only while the window is neither minimised nor maximised.
void SaveWindowPlacement(const QWidget &window, SettingsStore &settings);

} // namespace Globals
