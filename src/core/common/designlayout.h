// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Design geometry of the main window in twips, positions relative to the
// container named beside each control.
namespace DesignLayout {

struct TwipRect
{
    double left;
    double top;
    double width;
    double height;
};

inline constexpr double clientWidth = 8235;
inline constexpr double clientHeight = 8790;

inline constexpr TwipRect TabControl1{120, 1620, 7920, 3855}; // in Form1
inline constexpr TwipRect ListView1{240, 480, 5400, 2535};    // in the "Files" tab
inline constexpr TwipRect Frame2{240, 480, 7200, 800};        // in the "Options" tab
inline constexpr TwipRect Combo1{240, 300, 5880, 390};        // in Frame2
inline constexpr TwipRect Frame1{240, 1365, 7200, 1040};      // in the "Options" tab
inline constexpr TwipRect Option1{240, 300, 6855, 255};       // in Frame1
inline constexpr TwipRect Option2{240, 650, 2655, 255};       // in Frame1
inline constexpr TwipRect ProgressBar1{120, 5640, 6360, 405}; // in Form1

inline constexpr double listColumnAtLoad = 5000;

inline constexpr double fontPointSize = 11.25;

} // namespace DesignLayout
