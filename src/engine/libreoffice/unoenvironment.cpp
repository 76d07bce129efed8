// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/unoenvironment.h"

#include "core/printing/engineerror.h"
#include "engine/libreoffice/unostrings.h"

#include <QFileInfo>
#include <QUrl>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include <mutex>

using namespace com::sun::star;

namespace UnoEnvironment {

uno::Reference<uno::XComponentContext> localContext(const QString &program)
{
    static std::mutex mutex;
    static uno::Reference<uno::XComponentContext> context;
    const std::lock_guard lock(mutex);
    if (context.is())
        return context;

    const QString folder = QFileInfo(program).canonicalPath();
    const auto url = [&folder](const QString &name) {
        return QString::fromUtf8(QUrl::fromLocalFile(folder + QLatin1Char('/') + name).toEncoded());
    };
    rtl::Bootstrap::set("URE_INTERNAL_LIB_DIR", toOUString(url(QString())));
    rtl::Bootstrap::set(
        "UNO_TYPES",
        toOUString(url(QStringLiteral("types.rdb")) + QLatin1Char(' ') + url(QStringLiteral("types/offapi.rdb"))));
    rtl::Bootstrap::set("UNO_SERVICES", toOUString(url(QStringLiteral("services.rdb"))));
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const uno::Exception &failure) {
        throw EngineError(QStringLiteral("The LibreOffice installation in %1 cannot be used: %2")
                              .arg(folder, toQString(failure.Message)));
    }
    return context;
}

} // namespace UnoEnvironment
