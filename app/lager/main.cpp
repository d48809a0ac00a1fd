#include "app/lager/lagercommand.h"
#include "base/messages.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Messages::setApplicationFileName(QCoreApplication::applicationFilePath());
    return RunLager(QCoreApplication::applicationDirPath(), app.arguments().mid(1));
}
