// SPDX-License-Identifier: GPL-3.0-or-later
#include "printjobwatcher.h"

#include <com/sun/star/view/PrintableState.hpp>

using namespace com::sun::star;

void SAL_CALL PrintJobWatcher::printJobEvent(const view::PrintJobEvent &event)
{
    if (event.State == view::PrintableState_JOB_ABORTED || event.State == view::PrintableState_JOB_FAILED
        || event.State == view::PrintableState_JOB_SPOOLING_FAILED) {
        const std::lock_guard lock(m_mutex);
        m_failed = true;
    }
}

void SAL_CALL PrintJobWatcher::disposing(const lang::EventObject &) {}

bool PrintJobWatcher::failed() const
{
    const std::lock_guard lock(m_mutex);
    return m_failed;
}
