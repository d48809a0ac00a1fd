#pragma once

#include "base/interaction.h"

#include <QPoint>
#include <QRect>

class QWidget;

// The window implementation of the interaction: modal dialogs, progress and wait windows
// and the desktop alert in the bottom right corner of the window the user works in.
class QtInteraction : public Interaction
{
public:
    int messageBox(const QString &caption, const QString &text, MsgDlgType type,
                   int buttons) override;
    bool inputBox(const QString &caption, const QString &prompt, QString &value) override;
    std::unique_ptr<Progress> progress(const QString &caption, int maximum) override;
    std::unique_ptr<WaitWindow> waitWindow(const QString &text) override;
    void desktopAlert(const QString &header, const QString &text, int height,
                      int milliseconds) override;
    bool dateBox(const QString &caption, const QString &prompt, QDate &value) override;
    bool openFileBox(const QString &caption, const QString &filter, QString &path) override;
    bool colorBox(const QString &caption, unsigned &color) override;
};

// The window a desktop alert belongs to: the active one, else a visible normal window.
QWidget *alertOwner();
// Top left corner of an alert of the given size: the owner's bottom right corner (the
// screen's without an owner), kept inside the screen area.
QPoint alertPosition(const QRect &owner, QSize size, const QRect &screenArea);
