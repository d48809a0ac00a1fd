#include "base/formatsettings.h"
#include "base/messages.h"
#include "app/lager/lagercommand.h"

#include <QCoreApplication>
#include <QLocale>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Scheduled jobs usually run in the C locale; read with its decimal point, the decimal
    // commas in the articles' XML texts would turn 2440,5 into 24405. The suite's own
    // formats are the better guess there.
    if (QLocale::system().language() == QLocale::C)
        FormatSettings::current() = FormatSettings::german();
    else
        FormatSettings::initFromSystemLocale();
    Messages::setApplicationFileName(QCoreApplication::applicationFilePath());
    return RunLager(QCoreApplication::applicationDirPath(), app.arguments().mid(1));
}
