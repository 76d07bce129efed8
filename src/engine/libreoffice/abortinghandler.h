// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

#include <mutex>

// Answers every question LibreOffice asks while it opens a file with "abort",
// so a password, a damaged file or an unknown format fails at once instead of
// waiting for a dialog nobody sees. Remembers why, for the error report.
class AbortingHandler final : public cppu::WeakImplHelper1<com::sun::star::task::XInteractionHandler>
{
public:
    void SAL_CALL
    handle(const com::sun::star::uno::Reference<com::sun::star::task::XInteractionRequest> &request) override;

    // Why the last request was refused, in the user's words; empty when none came.
    QString reason() const;

private:
    mutable std::mutex m_mutex;
    QString m_reason;
};
