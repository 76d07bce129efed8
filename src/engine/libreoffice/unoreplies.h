// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The answers of offices that this process waits for.
namespace UnoReplies {

// Takes out of the calling thread's queue the answers that no call of it will
// take any more, and returns how many there were. A call fails as disposed
// when its office is gone by the time the thread waits for the answer, even if
// the answer came in just before: that answer then stays queued for the
// thread, whose queue all offices' connections share, and its next call to any
// office would take it for its own (a "true" read as an object pointer). Call
// this on the thread whose call failed, before it calls an office again.
int dropStale();

} // namespace UnoReplies
