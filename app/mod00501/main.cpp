#include "app/ui/mod00501form1.h"
#include "app/ui/startup.h"
#include "base/messages.h"
#include "base/ui/qtinteraction.h"

#include <QApplication>
#include <QTimer>
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
    Messages::setApplicationFileName(QCoreApplication::applicationFilePath());
    auto window =
        StartMainWindow(QCoreApplication::applicationDirPath(), QCoreApplication::arguments());
    if (!window)
        return 1;
    window->show();
    // For tools/screenshots only: opens the article window for the first article once the
    // main window runs. An environment variable keeps it off the suite's command line.
    if (qEnvironmentVariable("MOD00501_SCREENSHOT") == QStringLiteral("article"))
        QTimer::singleShot(0, window.get(), &TMOD00501Form1::editArticle);
    return app.exec();
}
