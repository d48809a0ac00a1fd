// The main of every test program: an offscreen QApplication, German number formats, texts
// untranslated (tests compare msgids), and the child-process entry for cross-process tests.
// With STOCK_TEST_ON_SERVER=1 the engine's directory databases live on the test server
// (STOCK_TEST_PG), so that the same tests check the second backend.
#include "tests/support/childprocess.h"

#include "base/formatsettings.h"
#include "base/translation.h"
#include "persistence/engine/tdbdatabase.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FormatSettings::current() = FormatSettings::german();
    Translation::setup(QString(), QString());
    if (qgetenv("STOCK_TEST_ON_SERVER") == "1") {
        const QString server = qEnvironmentVariable("STOCK_TEST_PG");
        if (server.isEmpty()) {
            // Skipped (ctest's SKIP_RETURN_CODE), but in CI a missing server is a failure.
            qWarning("STOCK_TEST_PG is not set: the tests on the server do not run");
            return qgetenv("CI") == "true" ? 1 : 77;
        }
        TTdbDatabase::UseServer(server);
    }
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return ChildProcess::runRegistered(QString::fromUtf8(argv[2]), app.arguments().mid(3));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
