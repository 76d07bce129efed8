// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A failed call of the spreadsheet engine or the printing system, with the
// description the user is shown in the error report.
class EngineError final : public std::exception
{
public:
    explicit EngineError(QString description)
        : m_description(std::move(description))
        , m_what(m_description.toUtf8())
    {}

    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_description;
    QByteArray m_what;
};
