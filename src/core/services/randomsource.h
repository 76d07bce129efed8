// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A uniform source of numbers in [0, 1).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};
