// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A print server's socket that takes every connection and never answers, as
// a server does that hangs or was stopped: the kernel completes connections
// to a listening socket even when nobody accepts them.
class HungPrintServer final
{
public:
    HungPrintServer()
        : m_path(m_dir.path() + QStringLiteral("/cups.sock"))
    {
        m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(m_path);
        if (m_socket < 0 || std::size_t(name.size()) >= sizeof(address.sun_path))
            return;
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        m_listening = ::bind(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0
            && ::listen(m_socket, 64) == 0;
    }
    ~HungPrintServer()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    HungPrintServer(const HungPrintServer &) = delete;
    HungPrintServer &operator=(const HungPrintServer &) = delete;

    bool isListening() const { return m_listening; }
    // What CUPS_SERVER names it by.
    const QString &path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_socket = -1;
    bool m_listening = false;
};
