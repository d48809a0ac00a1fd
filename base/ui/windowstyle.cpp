#include "base/ui/windowstyle.h"

#include "base/inifile.h"

#include <QApplication>
#include <QColor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace
{

QRect workArea(const QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 690);
}

void centre(QWidget *window, QSize size)
{
    QRect r(QPoint(0, 0), size);
    r.moveCenter(workArea(window).center());
    window->setGeometry(r);
}

} // namespace

namespace
{
QRect g_standardRect;
// The colour scheme of the program's session: the user's APPLICATION.INI and the client as
// the main window was styled with them; later windows take the same.
IniFile g_applicationIni;
QString g_client;
} // namespace

// Components tagged 1 to 5 take Color1 to Color5 of the scheme as background; the tag is used
// up so that styling a window twice changes nothing.
void ApplyWindowColours(QWidget *window)
{
    const QString section = u"Colors-"_s + g_client;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : std::as_const(widgets)) {
        const int tag = w->property("tag").toInt();
        if (tag < 1 || tag > 5)
            continue;
        w->setProperty("tag", 0);
        // Colours 4 and 5 have fixed defaults; the others default to the button face, which
        // the widget has anyway. A value that is no colour counts as missing.
        const int def = tag == 4 ? 16244694 : tag == 5 ? 8684164 : -1;
        bool ok = false;
        qint64 bgr = g_applicationIni.readString(section, u"Color"_s + QString::number(tag))
                         .trimmed()
                         .toLongLong(&ok);
        if (!ok || bgr < 0 || bgr > 0xFFFFFF)
            bgr = def;
        if (bgr < 0)
            continue;
        // Stored the suite's way: a decimal 0x00BBGGRR number.
        QPalette p = w->palette();
        p.setColor(w->backgroundRole(),
                   QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff)));
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
}

QRect StandardWindowRect()
{
    return g_standardRect;
}

void ApplyWindowStyle(QWidget *window, bool isMain, int mode)
{
    ApplyWindowColours(window);
    const QRect area = workArea(window);
    if (area.width() < 1024)
        g_standardRect = QRect(area.topLeft(), QSize(1024, 690));
    else if (mode == 0) {
        g_standardRect = QRect(QPoint(0, 0), isMain ? QSize(1024, 690) : window->size());
        g_standardRect.moveCenter(area.center());
    } else if (mode == 1 || mode == 2)
        g_standardRect = area;
    if (!isMain)
        centre(window, window->size());
    else if (mode == 0)
        centre(window, QSize(1024, 690));
    else if (mode == 1)
        window->setGeometry(workArea(window));
}

void ApplyWindowStyle(QWidget *window, bool isMain, const IniFile &applicationIni,
                      const QString &client)
{
    g_applicationIni = applicationIni;
    g_client = client;
    ApplyWindowStyle(window, isMain,
                     applicationIni.readInteger(u"Screenresolution"_s, u"Forms"_s, 1));
}

void ApplyWindowStyle(QWidget *window)
{
    ApplyWindowStyle(window, false,
                     g_applicationIni.readInteger(u"Screenresolution"_s, u"Forms"_s, 1));
}

void ShowReadOnly(QLineEdit *field, bool readOnly)
{
    field->setReadOnly(readOnly);
    const QPalette standard = QApplication::palette(field);
    QPalette p = field->palette();
    p.setColor(QPalette::Base,
               readOnly ? standard.color(QPalette::Window) : standard.color(QPalette::Base));
    field->setPalette(p);
}

void RestoreWindowGeometry(QWidget *window, const IniFile &settings, const QString &section)
{
    const QByteArray saved =
        QByteArray::fromBase64(settings.readString(section, u"Geometry"_s).toLatin1());
    if (saved.isEmpty() || !window->restoreGeometry(saved))
        centre(window, window->size());
}

void SaveWindowGeometry(const QWidget *window, IniFile &settings, const QString &section)
{
    settings.writeString(section, u"Geometry"_s,
                         QString::fromLatin1(window->saveGeometry().toBase64()));
}
