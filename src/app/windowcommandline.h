// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What the window's command line asks for. Files and folders open the window
// with them in the list; --help and --version are answered without a window;
// any other argument that begins with "-" is refused, so that a mistyped
// option never turns into an entry. After "--" every argument is a path.
class WindowCommandLine final
{
public:
    enum class Kind {
        OpenWindow,
        Help,
        Version,
        Refused,
    };

    // arguments: without the program's own name.
    static WindowCommandLine parse(const QStringList &arguments);

    Kind kind() const { return m_kind; }
    // The paths to open, as given, in order (OpenWindow only).
    const QStringList &paths() const { return m_paths; }
    // The argument that was refused (Refused only).
    const QString &refused() const { return m_refused; }

    // What the program writes for each kind but OpenWindow: standard output
    // for Help and Version, one line on standard error for Refused.
    QString text(const QString &version) const;
    // The program's exit status for each kind but OpenWindow.
    int exitCode() const;

private:
    Kind m_kind = Kind::OpenWindow;
    QStringList m_paths;
    QString m_refused;
};
