#include "libreofficeengine.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

LibreOfficeEngine::LibreOfficeEngine()
    : m_program(findProgram())
{
}

QString LibreOfficeEngine::displayName() const
{
    return QStringLiteral("LibreOffice");
}

bool LibreOfficeEngine::canCreateInstance() const
{
    return !m_program.isEmpty() && isExecutableFile(m_program);
}

QString LibreOfficeEngine::findProgram()
{
    // Debian's packages put the program here and a link to it on the PATH;
    // the program folder is preferred because it works without that link.
    const QString packaged = QStringLiteral("/usr/lib/libreoffice/program/soffice");
    if (isExecutableFile(packaged))
        return packaged;
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}
