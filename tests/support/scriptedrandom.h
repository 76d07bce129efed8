// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/services/randomsource.h"

#include <QList>

// Hands out the scripted numbers in turn, then the last one again.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values = {0.5})
        : m_values(std::move(values))
    {}
    double next() override { return m_values.size() > 1 ? m_values.takeFirst() : m_values.first(); }

private:
    QList<double> m_values;
};
