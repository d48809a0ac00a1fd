#include "app/lager/consoleinteraction.h"

#include <QCoreApplication>
#include <cstdio>

namespace
{

class LineProgress : public Progress
{
public:
    LineProgress(const QString &caption, int maximum) : m_caption(caption), m_maximum(maximum)
    {
        m_clock.start();
    }
    ~LineProgress() override
    {
        if (m_shown)
            print();
    }
    void step(int by) override
    {
        m_done += by;
        if (m_clock.elapsed() >= m_nextMs) {
            m_nextMs = m_clock.elapsed() + 1000;
            if (m_shown || m_clock.elapsed() >= 1000) {
                m_shown = true;
                print();
            }
        }
    }
    void setText(const QString &text) override { m_caption = text; }
    bool cancelled() const override { return false; }

private:
    void print() const
    {
        std::fprintf(stderr, "%s: %d/%d\n", qUtf8Printable(m_caption), m_done, m_maximum);
        std::fflush(stderr);
    }

    QString m_caption;
    int m_maximum;
    int m_done = 0;
    bool m_shown = false;
    qint64 m_nextMs = 1000;
    QElapsedTimer m_clock;
};

class DeadlineWait : public WaitWindow
{
public:
    explicit DeadlineWait(double seconds) : m_ms(qint64(seconds * 1000)) { m_clock.start(); }
    bool cancelled() const override { return m_clock.elapsed() >= m_ms; }
    void idle() override {}

private:
    qint64 m_ms;
    QElapsedTimer m_clock;
};

} // namespace

int LagerConsoleInteraction::messageBox(const QString &caption, const QString &text,
                                        MsgDlgType type, int buttons)
{
    // Reports close with the line naming the program, for the suite's log files; on a
    // terminal it is the program just started and would only bury the message.
    const QString programLine =
        QStringLiteral("\nApplication: ") + QCoreApplication::applicationFilePath();
    if (QCoreApplication::instance() && text.endsWith(programLine))
        return consoleInteraction().messageBox(caption, text.chopped(programLine.size()), type,
                                               buttons);
    return consoleInteraction().messageBox(caption, text, type, buttons);
}

bool LagerConsoleInteraction::inputBox(const QString &caption, const QString &prompt,
                                       QString &value)
{
    return consoleInteraction().inputBox(caption, prompt, value);
}

std::unique_ptr<Progress> LagerConsoleInteraction::progress(const QString &caption, int maximum)
{
    return std::make_unique<LineProgress>(caption, maximum);
}

std::unique_ptr<WaitWindow> LagerConsoleInteraction::waitWindow(const QString &text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    std::fflush(stderr);
    return std::make_unique<DeadlineWait>(m_waitSeconds);
}

void LagerConsoleInteraction::desktopAlert(const QString &header, const QString &text, int height,
                                           int milliseconds)
{
    consoleInteraction().desktopAlert(header, text, height, milliseconds);
}
