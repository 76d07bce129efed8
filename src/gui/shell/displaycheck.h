// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether a window can be shown at all: a display, a Wayland session, or a
// platform the user chose explicitly.
bool HasDisplay();

// The one line that tells a user without a display how to start the program anyway.
QString NoDisplayMessage(const QString &programPath);
