// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineapplication.h"

#include <memory>

class LibreOfficeSession;
class LibreOfficeWorkbooks;

class LibreOfficeApplication final : public EngineApplication
{
public:
    explicit LibreOfficeApplication(std::shared_ptr<LibreOfficeSession> session);
    ~LibreOfficeApplication() override;

    EngineWorkbooks &Workbooks() override;
    void Quit() override;

    // The office's process group, for tests that need to make it misbehave.
    int processGroup() const;

private:
    std::shared_ptr<LibreOfficeSession> m_session;
    std::unique_ptr<LibreOfficeWorkbooks> m_workbooks;
};
