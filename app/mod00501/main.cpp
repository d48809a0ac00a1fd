#include "app/base/formatsettings.h"
#include "app/base/messages.h"
#include "app/benutzereinstellungen.h"
#include "app/environment.h"
#include "app/ui/mod00501form1.h"
#include "app/ui/qtinteraction.h"

#include <QApplication>
#include <exception>

namespace
{

// Keeps the program running after an exception escaped an event handler.
class Application : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &e) {
            UnhandledException(receiver, e);
        }
        return false;
    }
};

} // namespace

int main(int argc, char **argv)
{
    Application app(argc, argv);
    QtInteraction qtInteraction;
    setInteraction(&qtInteraction);
    FormatSettings::initFromSystemLocale();
    InitEnvironment(QCoreApplication::applicationDirPath());
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 1; // log-on without client and user fails silently
    MainWindowContext context;
    context.client = args.at(1);
    context.hasRight = [](const QString &right) {
        return TBenutzerEinstellungen::instance().HasRight(right);
    };
    TMOD00501Form1 window(context);
    if (args.size() > 3 && args.at(3) == u"-E")
        window.disableGoodsReceipt();
    window.show();
    return app.exec();
}
