#include "base/messages.h"

#include "base/translation.h"

#include <QCoreApplication>
#include <QObject>
#include <cstdio>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace {
bool g_silent = false;
bool g_protocolEnabled = false;
QList<TProtocolEventItem> g_protocol;
bool g_console = false;
FILE *g_consoleStream = stdout;
QString g_applicationFileName;

QString applicationFileName()
{
    if (!g_applicationFileName.isEmpty())
        return g_applicationFileName;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QString();
}

QString namePath(const QObject *o)
{
    QString path;
    for (; o; o = o->parent()) {
        if (o->objectName().isEmpty())
            continue;
        path = path.isEmpty() ? o->objectName() : o->objectName() + u'.' + path;
    }
    return path;
}
} // namespace

QString messageBoxCaption(MsgDlgType type)
{
    switch (type) {
    case MsgDlgType::Warning:
        return tx("Warnung");
    case MsgDlgType::Error:
        return tx("Fehler");
    case MsgDlgType::Information:
        return tx("Information");
    case MsgDlgType::Confirmation:
        return tx("Bestaetigung");
    }
    return QString();
}

int ShowMessageBox(const QString &text, MsgDlgType type, int buttons, int /*helpContext*/)
{
    return interaction().messageBox(messageBoxCaption(type), text, type, buttons);
}

QString formatText(const QString &format, const QStringList &args)
{
    QString result;
    result.reserve(format.size());
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'%' && i + 1 < format.size()) {
            const QChar k = format.at(i + 1);
            if (k == u'%') {
                result += u'%';
                ++i;
                continue;
            }
            if (k == u's' || k == u'd' || k == u'n' || k == u'f') {
                if (next < args.size())
                    result += args.at(next);
                ++next;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

int ShowMessageBoxFmt(const QString &format, const QStringList &args, MsgDlgType type,
                      int buttons, int helpContext)
{
    return ShowMessageBox(formatText(format, args), type, buttons, helpContext);
}

QString exceptionClassName(const std::exception &e)
{
    const char *mangled = typeid(e).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
}

void ReportMessage(MessageKind kind, const QString &text, const QObject *sender,
                   const std::exception *exception)
{
    QString detail;
    if (exception)
        detail += QStringLiteral("Exception-Message (") + exceptionClassName(*exception) +
                  QStringLiteral("): ") + QString::fromUtf8(exception->what()) + u'\n';
    if (sender) {
        detail += QStringLiteral("Object: ") + QString::fromLatin1(sender->metaObject()->className());
        const QString path = namePath(sender);
        if (!path.isEmpty())
            detail += QStringLiteral(" - ") + path;
        detail += u'\n';
    }
    const QString full = text + u'\n' + detail + QStringLiteral("Application: ") + applicationFileName();
    if (!g_silent) {
        if (g_console) {
            static const char *prefix[] = {"Fatal Error: ", "Error: ", "Warning: ", "Information: "};
            std::fprintf(g_consoleStream, "%s%s\n", prefix[static_cast<int>(kind)],
                         qUtf8Printable(full));
            std::fflush(g_consoleStream);
        } else {
            MsgDlgType type = MsgDlgType::Error;
            if (kind == MessageKind::Warning)
                type = MsgDlgType::Warning;
            else if (kind == MessageKind::Information)
                type = MsgDlgType::Information;
            ShowMessageBox(full, type, MsgButton::OK);
        }
    }
    if (g_protocolEnabled)
        g_protocol.append({text, kind});
}

void Messages::setSilent(bool silent) { g_silent = silent; }
bool Messages::silent() { return g_silent; }
void Messages::setProtocolEnabled(bool enabled)
{
    g_protocolEnabled = enabled;
    g_protocol.clear();
}
bool Messages::protocolEnabled() { return g_protocolEnabled; }
const QList<TProtocolEventItem> &Messages::protocol() { return g_protocol; }
void Messages::setConsole(bool console, FILE *stream)
{
    g_console = console;
    g_consoleStream = stream;
}
void Messages::setApplicationFileName(const QString &name) { g_applicationFileName = name; }

void UnhandledException(const QObject *sender, const std::exception &e)
{
    ReportMessage(MessageKind::FatalError, tx("Unbehandelte Ausnahme."), sender, &e);
}

void TLogHelper::DatabaseError(const std::exception *e, const QString &text)
{
    ReportMessage(MessageKind::Error, tx("Datenbankfehler.") + u'\n' + text, nullptr, e);
}
