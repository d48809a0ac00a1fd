#include "base/interaction.h"

#include <cstdio>

namespace
{

class ConsoleProgress : public Progress
{
public:
    void step(int) override {}
    void setText(const QString &) override {}
    bool cancelled() const override { return false; }
};

class ConsoleWait : public WaitWindow
{
public:
    bool cancelled() const override { return false; }
    void idle() override {}
};

// Headless default: tools have no one to ask, so every question takes its first answer.
class ConsoleInteraction : public Interaction
{
public:
    int messageBox(const QString &caption, const QString &text, MsgDlgType, int buttons) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
        static const int order[][2] = {{MsgButton::Yes, ModalResult::Yes},
                                       {MsgButton::No, ModalResult::No},
                                       {MsgButton::OK, ModalResult::OK},
                                       {MsgButton::Cancel, ModalResult::Cancel},
                                       {MsgButton::Abort, ModalResult::Abort},
                                       {MsgButton::Retry, ModalResult::Retry},
                                       {MsgButton::Ignore, ModalResult::Ignore},
                                       {MsgButton::All, ModalResult::All},
                                       {MsgButton::NoToAll, ModalResult::NoToAll},
                                       {MsgButton::YesToAll, ModalResult::YesToAll}};
        for (const auto &b : order)
            if (buttons & b[0])
                return b[1];
        return ModalResult::None;
    }
    bool inputBox(const QString &, const QString &, QString &) override { return false; }
    std::unique_ptr<Progress> progress(const QString &, int) override
    {
        return std::make_unique<ConsoleProgress>();
    }
    std::unique_ptr<WaitWindow> waitWindow(const QString &text) override
    {
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
        return std::make_unique<ConsoleWait>();
    }
    void desktopAlert(const QString &header, const QString &text, int, int) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(header), qUtf8Printable(text));
    }
};

ConsoleInteraction g_console;
Interaction *g_current = nullptr;

} // namespace

Interaction &interaction()
{
    return g_current ? *g_current : g_console;
}

Interaction &consoleInteraction()
{
    return g_console;
}

void setInteraction(Interaction *i)
{
    g_current = i;
}

ScopedInteraction::ScopedInteraction(Interaction *i) : m_previous(g_current)
{
    g_current = i;
}

ScopedInteraction::~ScopedInteraction()
{
    g_current = m_previous;
}

bool Interaction::dateBox(const QString &, const QString &, QDate &)
{
    return false;
}

bool Interaction::openFileBox(const QString &, const QString &, QString &)
{
    return false;
}

bool Interaction::colorBox(const QString &, unsigned &)
{
    return false;
}
