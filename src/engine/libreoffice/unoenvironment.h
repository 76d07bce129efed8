// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <com/sun/star/uno/XComponentContext.hpp>

// The UNO environment of this process, which it needs to talk to any office.
namespace UnoEnvironment {

// Set up once per process, from the office installation of program; throws
// EngineError when that installation lacks what UNO needs.
com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> localContext(const QString &program);

} // namespace UnoEnvironment
