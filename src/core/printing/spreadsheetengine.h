// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineapplication.h"

#include <QString>

#include <functional>
#include <memory>

// The program that opens and prints workbooks for us.
class SpreadsheetEngine
{
public:
    virtual ~SpreadsheetEngine() = default;

    // The engine's name as the user knows it, for messages.
    virtual QString displayName() const = 0;

    // Whether an instance could be created. Quick: nothing is started.
    virtual bool canCreateInstance() const = 0;

    // Starts a new, hidden instance of our own; never one the user runs.
    // Throws EngineError when it cannot.
    virtual std::unique_ptr<EngineApplication> createInstance() = 0;

    // As createInstance(), for an instance started ahead of its turn: once
    // `abandoned` says so (asked from any thread, a few times a second), the
    // instance ends itself and the call under way fails. An engine that
    // cannot watch for that starts a plain instance.
    virtual std::unique_ptr<EngineApplication> createInstanceAhead(const std::function<bool()> & /*abandoned*/)
    {
        return createInstance();
    }

    // Whether the user runs an instance of the engine that is not one of ours.
    virtual bool isUserInstanceRunning() = 0;

    // Ends every instance of ours at once and starts no more: the user wants
    // the program to end. Calls that were under way fail.
    virtual void stopNow() = 0;
};
