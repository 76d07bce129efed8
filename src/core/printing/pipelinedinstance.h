// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineapplication.h"
#include "core/printing/engineworkbooks.h"

#include <memory>

class PipelinedEngine;

// What a print run holds of a PipelinedEngine: opening a workbook takes the
// instance that was started and prepared for it ahead of its turn; every
// other call goes to that instance.
class PipelinedInstance final : public EngineApplication, public EngineWorkbooks
{
public:
    explicit PipelinedInstance(PipelinedEngine &pipeline);
    ~PipelinedInstance() override;

    PipelinedInstance(const PipelinedInstance &) = delete;
    PipelinedInstance &operator=(const PipelinedInstance &) = delete;

    EngineWorkbooks &Workbooks() override;
    void Quit() override;

    void Open(const QString &path) override;
    int count() override;
    std::unique_ptr<EngineWorkbook> item(int index) override;
    void Close() override;
    void prepareOut(const QString &printer, bool allSheets) override;

private:
    PipelinedEngine &m_pipeline;
    std::unique_ptr<EngineApplication> m_instance;
};
