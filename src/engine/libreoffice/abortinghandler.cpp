// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/abortinghandler.h"

#include "engine/libreoffice/unostrings.h"

#include <com/sun/star/task/ErrorCodeRequest.hpp>
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

// LibreOffice's error codes, as ErrCode packs them: area, class and code.
constexpr sal_Int32 errorCode(sal_Int32 area, sal_Int32 errorClass, sal_Int32 code)
{
    constexpr int areaShift = 13;
    constexpr int classShift = 8;
    return (area << areaShift) | (errorClass << classShift) | code;
}

// A failure that LibreOffice reports by its error code alone.
QString reasonForCode(sal_Int32 code)
{
    constexpr sal_Int32 svx = 8;
    constexpr sal_Int32 read = 11;
    // The Excel 97-2003 filter met a password's encryption that it does not
    // undo (RC4 through CryptoAPI in the versions other than the one it
    // reads, an AES or MD5 one): it says so by this code, not by asking for
    // the password as it does for the others.
    constexpr sal_Int32 encryptedRead = errorCode(svx, read, 16);
    // The error code's own flags (warning, dynamic parts) are not the error.
    constexpr sal_Int32 errorMask = 0x3ffffff;
    if ((code & errorMask) == encryptedRead)
        return QStringLiteral("The workbook is protected by a password.");
    return QStringLiteral("LibreOffice could not open the file without asking (error code 0x%1).")
        .arg(QString::number(quint32(code), 16));
}

QString reasonFor(const uno::Any &request)
{
    task::ErrorCodeRequest coded;
    if (request >>= coded)
        return reasonForCode(coded.ErrCode);
    return reasonFor(toQString(request.getValueType().getTypeName()));
}

} // namespace

void SAL_CALL AbortingHandler::handle(const uno::Reference<task::XInteractionRequest> &request)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_reason.isEmpty())
            m_reason = reasonFor(request->getRequest());
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
