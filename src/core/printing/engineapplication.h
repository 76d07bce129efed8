// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class EngineWorkbooks;

// One engine instance of our own. Destroying it ends the instance for good,
// whether or not it was told to quit, and removes whatever it left on disk.
class EngineApplication
{
public:
    virtual ~EngineApplication() = default;

    virtual EngineWorkbooks &Workbooks() = 0;
    // Ends the instance. Failures throw EngineError.
    virtual void Quit() = 0;
};
