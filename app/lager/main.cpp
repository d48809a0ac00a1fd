#include "app/lager/lagercommand.h"
#include "base/messages.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

int main(int argc, char **argv)
{
    // Labels draw text, and fonts need a GUI application object; on the offscreen platform it
    // needs no display. The other commands stay without one.
    bool labels = false;
    for (int i = 1; i < argc; ++i)
        labels = labels || qstrcmp(argv[i], "labels") == 0;
    std::unique_ptr<QCoreApplication> app;
    if (labels) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    Messages::setApplicationFileName(QCoreApplication::applicationFilePath());
    return RunLager(QCoreApplication::applicationDirPath(), app->arguments().mid(1));
}
