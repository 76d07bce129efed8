// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/pipelinedinstance.h"

#include "core/printing/engineerror.h"
#include "core/printing/engineworkbook.h"
#include "core/printing/pipelinedengine.h"
#include "core/printing/printingtexts.h"

PipelinedInstance::PipelinedInstance(PipelinedEngine &pipeline)
    : m_pipeline(pipeline)
{}

PipelinedInstance::~PipelinedInstance()
{
    if (m_instance) {
        m_instance.reset();
        m_pipeline.release();
    }
}

EngineWorkbooks &PipelinedInstance::Workbooks()
{
    return *this;
}

void PipelinedInstance::Quit()
{
    if (!m_instance)
        throw EngineError(PrintingTexts::noInstance());
    m_instance->Quit();
}

void PipelinedInstance::Open(const QString &path)
{
    if (m_instance)
        m_instance->Workbooks().Open(path);
    else
        m_instance = m_pipeline.take(path);
}

int PipelinedInstance::count()
{
    return m_instance ? m_instance->Workbooks().count() : 0;
}

std::unique_ptr<EngineWorkbook> PipelinedInstance::item(int index)
{
    if (!m_instance)
        throw EngineError(PrintingTexts::noWorkbook());
    return m_instance->Workbooks().item(index);
}

void PipelinedInstance::Close()
{
    if (m_instance)
        m_instance->Workbooks().Close();
}

void PipelinedInstance::prepareOut(const QString &printer, bool allSheets)
{
    if (m_instance)
        m_instance->Workbooks().prepareOut(printer, allSheets);
}
