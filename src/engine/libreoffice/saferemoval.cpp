// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/saferemoval.h"

#include "engine/libreoffice/officepipes.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeRemoval {

namespace {

// Deep trees are not ours: a profile is a few levels deep.
constexpr int maxDepth = 64;

bool removeContents(int folderFd, dev_t device, int depth)
{
    if (depth > maxDepth)
        return false;
    const int listFd = ::dup(folderFd);
    if (listFd < 0)
        return false;
    DIR *listing = ::fdopendir(listFd);
    if (!listing) {
        ::close(listFd);
        return false;
    }
    bool complete = true;
    while (const dirent *entry = ::readdir(listing)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        struct stat info = {};
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            complete = complete && errno == ENOENT;
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            if (info.st_dev != device) {
                complete = false; // a mount point: never enter it
                continue;
            }
            const int childFd = ::openat(folderFd, entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (childFd < 0) {
                complete = false;
                continue;
            }
            const bool emptied = removeContents(childFd, device, depth + 1);
            ::close(childFd);
            if (!emptied || ::unlinkat(folderFd, entry->d_name, AT_REMOVEDIR) != 0)
                complete = false;
        } else if (::unlinkat(folderFd, entry->d_name, 0) != 0 && errno != ENOENT) {
            // A symbolic link is unlinked itself, never what it points to.
            complete = false;
        }
    }
    ::closedir(listing);
    return complete;
}

} // namespace

bool removeTreeAt(int parentFd, const QByteArray &name)
{
    if (name.isEmpty() || name.contains('/') || name == "." || name == "..")
        return false;
    struct stat parent = {};
    struct stat info = {};
    if (::fstat(parentFd, &parent) != 0)
        return false;
    if (::fstatat(parentFd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || info.st_dev != parent.st_dev)
        return false;
    const int folderFd = ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    const bool emptied = removeContents(folderFd, info.st_dev, 0);
    ::close(folderFd);
    return emptied && ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR) == 0;
}

bool removeOfficePipe(const QString &path)
{
    if (!OfficePipes::isPipePathOfThisUser(path))
        return false;
    const QByteArray native = QFile::encodeName(path);
    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0)
        return errno == ENOENT;
    if (!S_ISSOCK(info.st_mode) || info.st_uid != ::getuid())
        return false;
    return ::unlink(native.constData()) == 0 || errno == ENOENT;
}

} // namespace SafeRemoval
