// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/profiletemplate.h"

#include "core/common/filenames.h"
#include "core/common/logcategories.h"
#include "engine/libreoffice/saferemoval.h"

#include <QByteArrayList>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cctype>
#include <cstdio>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ProfileTemplate {

namespace {

constexpr QByteArrayView templatePrefix = "libreoffice-profile-";
constexpr QByteArrayView stagingPrefix = "staging-";
// A staging folder this young may be one that another program has made and
// not yet locked.
constexpr std::time_t youngStagingSeconds = 60;
constexpr std::time_t unusedTemplateSeconds = std::time_t(24) * 60 * 60;
// The profile's record of its settings is a few kilobytes.
constexpr qsizetype mostRecordBytes = qsizetype(16) * 1024 * 1024;

// A file descriptor closed when it goes.
class Descriptor final
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

int openFolderAt(int parentFd, const char *name)
{
    return ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool isFolderOfThisUser(const struct stat &info)
{
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

bool isSoundAt(int parentFd, const char *name)
{
    struct stat info = {};
    if (::fstatat(parentFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !isFolderOfThisUser(info))
        return false;
    const Descriptor folder(openFolderAt(parentFd, name));
    const Descriptor user(folder.get() < 0 ? -1 : openFolderAt(folder.get(), "user"));
    if (user.get() < 0)
        return false;
    const Descriptor record(
        ::openat(user.get(), "registrymodifications.xcu", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (record.get() < 0 || ::fstat(record.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    QByteArray text;
    char buffer[65536];
    ssize_t got = 0;
    while (text.size() < mostRecordBytes && (got = ::read(record.get(), buffer, sizeof(buffer))) > 0)
        text.append(buffer, got);
    // Written by the office that made the template once it had finished.
    return text.contains("ooSetupLastVersion");
}

// prefix and length letters or digits: a name the program gives.
bool isOwnName(QByteArrayView name, QByteArrayView prefix, qsizetype length)
{
    if (!name.startsWith(prefix) || name.size() != prefix.size() + length)
        return false;
    for (const char c : name.sliced(prefix.size())) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

// A staging folder whose maker is gone: old, and no one holds its lock.
bool isAbandonedStaging(int parentFd, const char *name, const struct stat &info)
{
    if (std::time(nullptr) - info.st_mtime < youngStagingSeconds)
        return false;
    const Descriptor folder(openFolderAt(parentFd, name));
    return folder.get() >= 0 && ::flock(folder.get(), LOCK_EX | LOCK_NB) == 0;
}

// Removes what a killed first start and older LibreOffice programs left.
void removeLeftovers(int parentFd, QByteArrayView current)
{
    const int listFd = ::dup(parentFd);
    DIR *listing = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!listing) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    QByteArrayList leftovers;
    while (const dirent *entry = ::readdir(listing)) {
        const QByteArrayView name(entry->d_name);
        struct stat info = {};
        if (name == current || ::fstatat(parentFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0
            || !isFolderOfThisUser(info))
            continue;
        // A template's time is that of its last use: copies touch it.
        if ((isOwnName(name, stagingPrefix, 6) && isAbandonedStaging(parentFd, entry->d_name, info))
            || (isOwnName(name, templatePrefix, 12) && std::time(nullptr) - info.st_mtime >= unusedTemplateSeconds))
            leftovers << name.toByteArray();
    }
    ::closedir(listing);
    for (const QByteArray &name : std::as_const(leftovers)) {
        qCDebug(lcWorkspace) << "removing the leftover" << name;
        SafeRemoval::removeTreeAt(parentFd, name);
    }
}

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

bool isSound(const QString &templateFolder)
{
    const QFileInfo where(templateFolder);
    const Descriptor parent(::open(FileNames::encode(where.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return parent.get() >= 0 && isSoundAt(parent.get(), FileNames::encode(where.fileName()).constData());
}

bool prepare(const QString &templateFolder)
{
    const QFileInfo where(templateFolder);
    const Descriptor parent(::open(FileNames::encode(where.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (parent.get() < 0)
        return false;
    const QByteArray name = FileNames::encode(where.fileName());
    removeLeftovers(parent.get(), name);
    if (isSoundAt(parent.get(), name.constData()))
        return true;
    struct stat info = {};
    if (::fstatat(parent.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        // Something at the template's place that every office would copy
        // and fail on: a link goes itself, a folder with what it holds.
        qCDebug(lcWorkspace).noquote() << "the profile template" << templateFolder << "is not sound; making it again";
        if (S_ISLNK(info.st_mode))
            ::unlinkat(parent.get(), name.constData(), 0);
        else
            SafeRemoval::removeTreeAt(parent.get(), name);
    }
    return false;
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
    // Held while the template is put together, so that no other program
    // takes the folder for a killed start's leftover.
    const Descriptor lock(::open(FileNames::encode(staging.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (lock.get() < 0 || ::flock(lock.get(), LOCK_EX) != 0)
        return;
    const QString inside = staging.path() + QStringLiteral("/profile");
    if (!copyTree(profile, inside))
        return;
    // rename() is atomic: readers see no template or a whole one.
    std::rename(QFile::encodeName(inside).constData(), QFile::encodeName(templateFolder).constData());
}

void copyTo(const QString &templateFolder, const QString &target)
{
    // Marks the template as in use, so that it is not taken for an old one.
    if (!templateFolder.isEmpty())
        ::utimensat(AT_FDCWD, FileNames::encode(templateFolder).constData(), nullptr, AT_SYMLINK_NOFOLLOW);
    if (templateFolder.isEmpty() || !QFileInfo(templateFolder).isDir() || !copyTree(templateFolder, target)) {
        QDir(target).removeRecursively();
        QDir().mkpath(target);
    }
}

} // namespace ProfileTemplate
