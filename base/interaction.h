#pragma once

#include <QDate>
#include <QString>
#include <functional>
#include <memory>

// Kinds of the program's own message box; the numbers are the suite's.
enum class MsgDlgType { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };

// Button set: one bit per button in the suite's order.
namespace MsgButton
{
enum : int {
    Yes = 1 << 0,
    No = 1 << 1,
    OK = 1 << 2,
    Cancel = 1 << 3,
    Abort = 1 << 4,
    Retry = 1 << 5,
    Ignore = 1 << 6,
    All = 1 << 7,
    NoToAll = 1 << 8,
    YesToAll = 1 << 9,
    YesNo = Yes | No,
};
}

// Results of the message box.
namespace ModalResult
{
enum : int {
    None = 0,
    OK = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7,
    All = 8,
    NoToAll = 9,
    YesToAll = 10
};
}

// A progress window with a cancel button; cancelling takes effect between items.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void step(int by = 1) = 0;
    virtual void setText(const QString &text) = 0;
    virtual bool cancelled() const = 0;
};

// A wait window showing why we wait, with "Abbrechen". idle() lets the window system run.
class WaitWindow
{
public:
    virtual ~WaitWindow() = default;
    virtual bool cancelled() const = 0;
    virtual void idle() = 0;
};

// Everything a command flow may ask the user. The window implementation lives in app/ui,
// tests script the answers, the console tools answer from their arguments.
class Interaction
{
public:
    virtual ~Interaction() = default;
    virtual int messageBox(const QString &caption, const QString &text, MsgDlgType type,
                           int buttons) = 0;
    // false when the user cancelled; value holds the proposal on entry and the answer on exit.
    virtual bool inputBox(const QString &caption, const QString &prompt, QString &value) = 0;
    virtual std::unique_ptr<Progress> progress(const QString &caption, int maximum) = 0;
    virtual std::unique_ptr<WaitWindow> waitWindow(const QString &text) = 0;
    virtual void desktopAlert(const QString &header, const QString &text, int height,
                              int milliseconds) = 0;
    // The questions below are asked by editors only; headless tools answer "cancelled".
    // false when cancelled; value holds the proposal on entry and the answer on exit.
    virtual bool dateBox(const QString &caption, const QString &prompt, QDate &value);
    // A file to open; filter in Qt's "Bilder (*.png *.jpg)" form.
    virtual bool openFileBox(const QString &caption, const QString &filter, QString &path);
    // A colour as 0x00BBGGRR, the suite's stored colour value.
    virtual bool colorBox(const QString &caption, unsigned &color);
};

// The interaction in force for this process. Without an installed one, messages go to
// standard error and questions are answered with their first button.
Interaction &interaction();
void setInteraction(Interaction *interaction);
// That headless default itself, for console programs that change only part of it.
Interaction &consoleInteraction();

// Installs an interaction for a scope and restores the previous one.
class ScopedInteraction
{
public:
    explicit ScopedInteraction(Interaction *i);
    ~ScopedInteraction();
    ScopedInteraction(const ScopedInteraction &) = delete;
    ScopedInteraction &operator=(const ScopedInteraction &) = delete;

private:
    Interaction *m_previous;
};
