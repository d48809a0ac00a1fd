#include "base/ui/windowstyle.h"

#include "base/inifile.h"

#include <QColor>
#include <QGuiApplication>
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
}

QRect StandardWindowRect()
{
    return g_standardRect;
}

void ApplyWindowStyle(QWidget *window, bool isMain, int mode)
{
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
    const QString section = u"Colors-"_s + client;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        const int tag = w->property("tag").toInt();
        if (tag < 1 || tag > 5)
            continue;
        w->setProperty("tag", 0);
        // Colours 4 and 5 have fixed defaults; the others default to the button face.
        const QString def = tag == 4 ? u"16244694"_s : tag == 5 ? u"8684164"_s : QString();
        const QString value =
            applicationIni.readString(section, u"Color"_s + QString::number(tag), def);
        if (value.isEmpty())
            continue;
        // Stored the suite's way: a decimal 0x00BBGGRR number.
        const uint bgr = value.toUInt();
        QPalette p = w->palette();
        p.setColor(w->backgroundRole(), QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff));
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    ApplyWindowStyle(window, isMain,
                     applicationIni.readInteger(u"Screenresolution"_s, u"Forms"_s, 1));
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
