// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiletemplate.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace ProfileTemplate {

namespace {

bool copyTree(const QString &source, const QString &target)
{
    if (!QDir().mkpath(target))
        return false;
    QDirIterator it(source, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir from(source);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString destination = target + QLatin1Char('/') + from.relativeFilePath(path);
        if (info.isDir() && !info.isSymLink()) {
            if (!QDir().mkpath(destination))
                return false;
        } else if (info.isFile() && !info.isSymLink()) {
            if (!QFile::copy(path, destination))
                return false;
            // LibreOffice compares the times of profile files with those of
            // its installation and redoes work for files that look new.
            QFile copy(destination);
            if (copy.open(QIODevice::ReadWrite))
                copy.setFileTime(info.lastModified(), QFileDevice::FileModificationTime);
        }
    }
    return true;
}

} // namespace

QString folderFor(const QString &program)
{
    // A new LibreOffice gets a new template: its own profile may differ. So
    // does a new way of making one (the number in front).
    const QFileInfo office(QFileInfo(program).canonicalPath() + QStringLiteral("/soffice.bin"));
    const QByteArray key = (QStringLiteral("2:") + QFileInfo(program).canonicalFilePath()
                            + QString::number(office.size()) + office.lastModified().toString(Qt::ISODate))
                               .toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(12));
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/corvane/libreoffice-profile-") + hash;
}

void install(const QString &profile, const QString &templateFolder)
{
    if (QFileInfo(templateFolder).isDir())
        return;
    const QString parent = QFileInfo(templateFolder).path();
    QDir().mkpath(parent);
    QTemporaryDir staging(parent + QStringLiteral("/staging-XXXXXX"));
    if (!staging.isValid())
        return;
    const QString inside = staging.path() + QStringLiteral("/profile");
    if (!copyTree(profile, inside))
        return;
    // rename() is atomic: readers see no template or a whole one.
    std::rename(QFile::encodeName(inside).constData(), QFile::encodeName(templateFolder).constData());
}

void copyTo(const QString &templateFolder, const QString &target)
{
    if (templateFolder.isEmpty() || !QFileInfo(templateFolder).isDir() || !copyTree(templateFolder, target)) {
        QDir(target).removeRecursively();
        QDir().mkpath(target);
    }
}

} // namespace ProfileTemplate
