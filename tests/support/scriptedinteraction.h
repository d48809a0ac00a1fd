#pragma once

#include "base/interaction.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// An interaction that records everything shown and answers from a script, so that command
// flows run in tests without a window. Unscripted questions get their first button.
class ScriptedInteraction : public Interaction
{
public:
    struct Shown {
        QString caption;
        QString text;
        MsgDlgType type;
        int buttons;
    };
    struct Alert {
        QString header;
        QString text;
        int height;
        int milliseconds;
    };

    QList<Shown> messages;
    QList<Alert> alerts;
    QList<int> answers;    // message-box results, taken in order
    QList<QString> inputs; // input-box answers; an empty list cancels
    int progressSteps = 0;
    int cancelProgressAfter = -1; // cancelled() turns true after this many steps
    int cancelWaitAfterIdles = -1;
    // Runs in every idle of a wait window: where a test lets the holder of a lock go, so that
    // the waiting is certain and not a matter of timing.
    std::function<void()> onWaitIdle;
    QStringList waitTexts;
    QList<QDate> dates; // date answers; an empty list cancels
    QStringList files;  // file dialog answers; an empty list cancels

    int messageBox(const QString &caption, const QString &text, MsgDlgType type,
                   int buttons) override;
    bool inputBox(const QString &, const QString &, QString &value) override
    {
        return take(inputs, value);
    }
    std::unique_ptr<Progress> progress(const QString &caption, int maximum) override;
    std::unique_ptr<WaitWindow> waitWindow(const QString &text) override;
    void desktopAlert(const QString &header, const QString &text, int height,
                      int milliseconds) override
    {
        alerts.append({header, text, height, milliseconds});
    }
    bool dateBox(const QString &, const QString &, QDate &value) override
    {
        return take(dates, value);
    }
    bool openFileBox(const QString &, const QString &, QString &path) override
    {
        return take(files, path);
    }
    bool colorBox(const QString &, unsigned &) override { return false; }

private:
    template <typename T> static bool take(QList<T> &answers, T &value)
    {
        if (answers.isEmpty())
            return false;
        value = answers.takeFirst();
        return true;
    }
};
