// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <com/sun/star/view/XPrintJobListener.hpp>
#include <cppuhelper/implbase1.hxx>

#include <mutex>

// Follows the states of a print job, so a job that failed after it started
// is not taken for a printed one.
class PrintJobWatcher final : public cppu::WeakImplHelper1<com::sun::star::view::XPrintJobListener>
{
public:
    void SAL_CALL printJobEvent(const com::sun::star::view::PrintJobEvent &event) override;
    void SAL_CALL disposing(const com::sun::star::lang::EventObject &source) override;

    bool failed() const;

private:
    mutable std::mutex m_mutex;
    bool m_failed = false;
};
