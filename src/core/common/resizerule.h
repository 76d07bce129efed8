// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the resize rule reads and writes, all in twips.
struct LayoutGeometry
{
    float tabWidth = 0;
    float tabHeight = 0;
    float listWidth = 0;
    float listHeight = 0;
    float frame1Width = 0;
    float frame2Width = 0;
    float comboWidth = 0;
    float progressTop = 0;
    float columnWidth = 0;
    float progressWidth = 0;

    bool operator==(const LayoutGeometry &) const = default;

    // The geometry the window has before its first resize.
    static LayoutGeometry design();
};

// Stretches the controls to a client area of clientWidth x clientHeight twips.
// Each assignment is tried on its own and a negative size is refused, so that
// control keeps its value while the later steps still run and read the values
// that really stand. A minimised window keeps everything.
LayoutGeometry applyResizeRule(const LayoutGeometry &current, float clientWidth, float clientHeight, bool minimised);
