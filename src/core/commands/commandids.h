// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Toolbar command ids; a button's icon is keyed by its id too.
namespace CommandIds {

inline constexpr int AddFiles = 1000;
inline constexpr int AddFolder = 1001;
inline constexpr int StartPrinting = 1002;
inline constexpr int ClearList = 1003;

} // namespace CommandIds
