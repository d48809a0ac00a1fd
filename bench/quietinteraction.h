#pragma once

#include "base/interaction.h"

#include <memory>

// Notices, progress and wait windows of the measured code would only write to standard error
// or wait for a user here.
class QuietInteraction : public Interaction
{
    struct NoProgress : Progress {
        void step(int) override {}
        void setText(const QString &) override {}
        bool cancelled() const override { return false; }
    };
    struct NoWait : WaitWindow {
        bool cancelled() const override { return false; }
        void idle() override {}
    };

public:
    int messageBox(const QString &, const QString &, MsgDlgType, int) override { return 0; }
    bool inputBox(const QString &, const QString &, QString &) override { return false; }
    std::unique_ptr<Progress> progress(const QString &, int) override
    {
        return std::make_unique<NoProgress>();
    }
    std::unique_ptr<WaitWindow> waitWindow(const QString &) override
    {
        return std::make_unique<NoWait>();
    }
    void desktopAlert(const QString &, const QString &, int, int) override {}
};
