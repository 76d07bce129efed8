// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <vector>

// The named arguments UNO calls take.
inline com::sun::star::beans::PropertyValue property(const char *name, const com::sun::star::uno::Any &value)
{
    com::sun::star::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

inline com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>
properties(const std::vector<com::sun::star::beans::PropertyValue> &values)
{
    return {values.data(), sal_Int32(values.size())};
}
