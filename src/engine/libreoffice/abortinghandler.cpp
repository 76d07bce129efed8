// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/abortinghandler.h"

#include "engine/libreoffice/unostrings.h"

#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionDisapprove.hpp>

using namespace com::sun::star;

namespace {

QString reasonFor(const QString &type)
{
    if (type.contains(QLatin1String("Password")))
        return QStringLiteral("The workbook is protected by a password.");
    if (type.contains(QLatin1String("BrokenPackage")))
        return QStringLiteral("The file is damaged.");
    if (type.contains(QLatin1String("FilterOptions")) || type.contains(QLatin1String("NoSuchFilter"))
        || type.contains(QLatin1String("AmbigousFilter")))
        return QStringLiteral("The file is not in a spreadsheet format LibreOffice recognises.");
    if (type.contains(QLatin1String("IOException")))
        return QStringLiteral("The file could not be read.");
    return QStringLiteral("LibreOffice could not open the file without asking (%1).").arg(type);
}

} // namespace

void SAL_CALL AbortingHandler::handle(const uno::Reference<task::XInteractionRequest> &request)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_reason.isEmpty())
            m_reason = reasonFor(toQString(request->getRequest().getValueType().getTypeName()));
    }
    const uno::Sequence<uno::Reference<task::XInteractionContinuation>> continuations = request->getContinuations();
    for (sal_Int32 i = 0; i < continuations.getLength(); ++i) {
        const uno::Reference<task::XInteractionAbort> abort(continuations[i], uno::UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
    for (sal_Int32 i = 0; i < continuations.getLength(); ++i) {
        const uno::Reference<task::XInteractionDisapprove> no(continuations[i], uno::UNO_QUERY);
        if (no.is()) {
            no->select();
            return;
        }
    }
}

QString AbortingHandler::reason() const
{
    const std::lock_guard lock(m_mutex);
    return m_reason;
}
