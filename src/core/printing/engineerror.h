// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <exception>

// A failed call of the spreadsheet engine or the printing system, with the
// description the user is shown in the error report.
class EngineError final : public std::exception
{
public:
    // MayHavePrinted: a job went whole to the printer system, but whether it
    // was taken cannot be known; neither printed nor failed, to whoever reruns.
    enum class Kind : std::uint8_t { Failed, MayHavePrinted };

    explicit EngineError(QString description, Kind kind = Kind::Failed)
        : m_description(std::move(description))
        , m_what(m_description.toUtf8())
        , m_kind(kind)
    {}

    const QString &description() const { return m_description; }
    Kind kind() const { return m_kind; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_description;
    QByteArray m_what;
    Kind m_kind;
};
