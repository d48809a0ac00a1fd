#pragma once

#include "base/interaction.h"

#include <QElapsedTimer>

// The companion's answers to what the stores ask: messages and questions as the headless
// default has them, a progress line on standard error for runs longer than a second, and a
// wait for a lock that gives up after the seconds of --wait (at once without it) instead of
// waiting for a cancel that no one can press.
class LagerConsoleInteraction : public Interaction
{
public:
    explicit LagerConsoleInteraction(double waitSeconds = 0) : m_waitSeconds(waitSeconds) {}

    int messageBox(const QString &caption, const QString &text, MsgDlgType type,
                   int buttons) override;
    bool inputBox(const QString &caption, const QString &prompt, QString &value) override;
    std::unique_ptr<Progress> progress(const QString &caption, int maximum) override;
    // Shows the holder's text, the one thing a script needs to know about the lock.
    std::unique_ptr<WaitWindow> waitWindow(const QString &text) override;
    void desktopAlert(const QString &header, const QString &text, int height,
                      int milliseconds) override;

    void setWaitSeconds(double seconds) { m_waitSeconds = seconds; }

private:
    double m_waitSeconds;
};
