// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/libreofficeapplication.h"

#include "core/common/logcategories.h"
#include "engine/libreoffice/libreofficesession.h"
#include "engine/libreoffice/libreofficeworkbooks.h"

LibreOfficeApplication::LibreOfficeApplication(std::shared_ptr<LibreOfficeSession> session)
    : m_session(std::move(session))
    , m_workbooks(std::make_unique<LibreOfficeWorkbooks>(m_session))
{}

LibreOfficeApplication::~LibreOfficeApplication()
{
    m_workbooks.reset();
    // Ends the office whether or not it was told to quit: a hidden office
    // left running would stay for ever.
    m_session->process().kill();
}

EngineWorkbooks &LibreOfficeApplication::Workbooks()
{
    return *m_workbooks;
}

void LibreOfficeApplication::Quit()
{
    m_workbooks->forget();
    qCDebug(lcOffice) << "call: quitting";
    m_session->terminate();
}

int LibreOfficeApplication::processGroup() const
{
    return m_session->process().processGroup();
}
