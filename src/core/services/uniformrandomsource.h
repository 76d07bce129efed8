// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/services/randomsource.h"

#include <random>

// Seeded once, when it is made.
class UniformRandomSource final : public RandomSource
{
public:
    UniformRandomSource();
    double next() override;

private:
    std::mt19937_64 m_generator;
    std::uniform_real_distribution<double> m_distribution{0.0, 1.0};
};
