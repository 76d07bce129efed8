// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/services/uniformrandomsource.h"

UniformRandomSource::UniformRandomSource()
    : m_generator(std::random_device{}())
{}

double UniformRandomSource::next()
{
    return m_distribution(m_generator);
}
