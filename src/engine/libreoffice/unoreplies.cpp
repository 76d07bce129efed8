// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/unoreplies.h"

#include <rtl/byteseq.h>
#include <uno/threadpool.h>

namespace UnoReplies {

int dropStale()
{
    // Answers are taken in the order they came. A marker of our own put
    // behind them comes out last, so the wait ends once everything queued
    // before it is out, and it never waits for anything that is not there.
    // What comes out before the marker belongs to the bridge of a connection
    // already gone and is left alone, as LibreOffice itself does with such
    // answers.
    static char marker;
    uno_ThreadPool pool = uno_threadpool_create();
    uno_threadpool_attach(pool);
    sal_Sequence *thread = nullptr;
    uno_getIdOfCurrentThread(&thread);
    uno_threadpool_putJob(pool, thread, &marker, nullptr, false);
    int dropped = -1;
    void *answer = nullptr;
    do {
        uno_threadpool_enter(pool, &answer);
        ++dropped;
    } while (answer != &marker);
    rtl_byte_sequence_release(thread);
    uno_releaseIdFromCurrentThread();
    uno_threadpool_detach(pool);
    uno_threadpool_destroy(pool);
    return dropped;
}

} // namespace UnoReplies
