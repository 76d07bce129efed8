// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/programfolder.h"

#include <QDir>
#include <QFileInfo>

QString ProgramFolder(const QString &executableFolder)
{
    QString installed = QDir::cleanPath(executableFolder + QStringLiteral("/../share/corvane"));
    if (QFileInfo(installed).isDir())
        return installed;
    return QDir::cleanPath(executableFolder);
}
