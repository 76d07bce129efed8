#pragma once

#include "printing/spreadsheetengine.h"
#include "services/randomsource.h"
#include "services/shellopen.h"

#include <QList>
#include <QStringList>

#include <stdexcept>

class FakeShellOpen final : public ShellOpen
{
public:
    void open(const QString &target) override { opened.append(target); }
    QStringList opened;
};

// Hands out the scripted numbers in turn, then the last one again.
class ScriptedRandom final : public RandomSource
{
public:
    explicit ScriptedRandom(QList<double> values = {0.5})
        : m_values(std::move(values))
    {
    }
    double next() override { return m_values.size() > 1 ? m_values.takeFirst() : m_values.first(); }

private:
    QList<double> m_values;
};

class FakeEngine final : public SpreadsheetEngine
{
public:
    enum class Availability { Installed, Missing, Broken };

    explicit FakeEngine(Availability availability = Availability::Installed)
        : m_availability(availability)
    {
    }
    QString displayName() const override { return QStringLiteral("LibreOffice"); }
    bool canCreateInstance() const override
    {
        if (m_availability == Availability::Broken)
            throw std::runtime_error("the engine could not be asked");
        return m_availability == Availability::Installed;
    }

private:
    Availability m_availability;
};
