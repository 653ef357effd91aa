#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Powers the panel PC off after a fatal error.
class Power {
public:
    virtual ~Power() = default;
    virtual void PowerOff() = 0;
};

// Only a kiosk (a panel PC that runs nothing else) is really switched off. Anywhere else the
// program just ends with exit status 1: an engineer's desktop must never go down.
class SystemPower final : public Power {
public:
    // Runs a program to its end (bounded in time); true when it ran and reported success.
    using Starter = std::function<bool(const QString& program, const QStringList& arguments)>;

    SystemPower(bool kiosk, std::function<void(int)> endProgram, Starter start = RunToEnd)
        : m_kiosk(kiosk), m_endProgram(std::move(endProgram)), m_start(std::move(start)) {}
    // Says on stderr what happens to the PC, then ends the program with status 1.
    void PowerOff() override;

    static bool RunToEnd(const QString& program, const QStringList& arguments);

private:
    bool m_kiosk;
    std::function<void(int)> m_endProgram;
    Starter m_start;
};

// The process-wide power seam; until one is set, PowerOff does nothing.
void SetPower(Power* power);
Power& ThePower();
