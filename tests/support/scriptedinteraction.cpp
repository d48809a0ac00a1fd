#include "tests/support/scriptedinteraction.h"

namespace
{
class ScriptedProgress : public Progress
{
public:
    explicit ScriptedProgress(ScriptedInteraction &owner) : m_owner(owner) {}
    void step(int by) override { m_owner.progressSteps += by; }
    void setText(const QString &) override {}
    bool cancelled() const override
    {
        return m_owner.cancelProgressAfter >= 0 &&
               m_owner.progressSteps >= m_owner.cancelProgressAfter;
    }

private:
    ScriptedInteraction &m_owner;
};

class ScriptedWait : public WaitWindow
{
public:
    ScriptedWait(int cancelAfter, std::function<void()> onIdle)
        : m_cancelAfter(cancelAfter), m_onIdle(std::move(onIdle))
    {
    }
    bool cancelled() const override { return m_cancelAfter >= 0 && m_idles >= m_cancelAfter; }
    void idle() override
    {
        ++m_idles;
        if (m_onIdle)
            m_onIdle();
    }

private:
    int m_cancelAfter;
    std::function<void()> m_onIdle;
    int m_idles = 0;
};
} // namespace

int ScriptedInteraction::messageBox(const QString &caption, const QString &text, MsgDlgType type,
                                    int buttons)
{
    messages.append({caption, text, type, buttons});
    if (!answers.isEmpty())
        return answers.takeFirst();
    if (buttons & MsgButton::Yes)
        return ModalResult::Yes;
    return ModalResult::OK;
}

std::unique_ptr<Progress> ScriptedInteraction::progress(const QString &, int)
{
    return std::make_unique<ScriptedProgress>(*this);
}

std::unique_ptr<WaitWindow> ScriptedInteraction::waitWindow(const QString &text)
{
    waitTexts << text;
    return std::make_unique<ScriptedWait>(cancelWaitAfterIdles, onWaitIdle);
}
