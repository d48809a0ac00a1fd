#pragma once

#include "base/interaction.h"

#include <QList>
#include <QString>
#include <exception>

class QObject;

// Kinds of a reported message, in the suite's order.
enum class MessageKind : quint8 { FatalError = 0, Error = 1, Warning = 2, Information = 3 };

// The program's own modal message box: caption by type, buttons as a MsgButton set,
// result a ModalResult.
int ShowMessageBox(const QString &text, MsgDlgType type, int buttons, int helpContext = 0);

// Format variant: "%s"-style placeholders are filled in order with the arguments.
int ShowMessageBoxFmt(const QString &format, const QStringList &args, MsgDlgType type,
                      int buttons, int helpContext = 0);

// Fills %s / %d placeholders in order, as the suite's Format does for text arguments.
QString formatText(const QString &format, const QStringList &args);

// Caption of a message box of the given type (translated).
QString messageBoxCaption(MsgDlgType type);

struct TProtocolEventItem {
    QString text;
    MessageKind kind;
};

// Formats text and details, shows them unless silent, and appends to the protocol if one is
// being collected. sender and exception may be null.
void ReportMessage(MessageKind kind, const QString &text, const QObject *sender = nullptr,
                   const std::exception *exception = nullptr);

// The class name of a thrown object as the reports show it.
QString exceptionClassName(const std::exception &e);

namespace Messages {
void setSilent(bool silent);
bool silent();
// Starts (or stops and clears) collecting reported messages.
void setProtocolEnabled(bool enabled);
bool protocolEnabled();
const QList<TProtocolEventItem> &protocol();
// Console tools write reports as "Error: ..." lines instead of boxes (stdout by default).
void setConsole(bool console, FILE *stream = stdout);
// The program file name shown after "Application: ".
void setApplicationFileName(const QString &name);
} // namespace Messages

// Handler for exceptions that no command caught.
void UnhandledException(const QObject *sender, const std::exception &e);

class TLogHelper {
public:
    // The error callback every store receives.
    static void DatabaseError(const std::exception *e, const QString &text);
};
