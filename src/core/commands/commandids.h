// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Toolbar command ids: what CommandBars_Execute is told a button was pressed.
namespace CommandIds {

inline constexpr int AddFiles = 1000;
inline constexpr int AddFolder = 1001;
inline constexpr int StartPrinting = 1002;
inline constexpr int ClearList = 1003;

} // namespace CommandIds
