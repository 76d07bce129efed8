#pragma once

#include <QString>

// The program that opens and prints workbooks for us.
class SpreadsheetEngine
{
public:
    virtual ~SpreadsheetEngine() = default;

    // The engine's name as the user knows it, for messages.
    virtual QString displayName() const = 0;

    // Whether an instance could be created. Quick: nothing is started.
    virtual bool canCreateInstance() const = 0;
};
