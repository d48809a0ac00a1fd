// The main of every test program: an offscreen QApplication, German number formats, texts
// untranslated (tests compare msgids), and the child-process entry for cross-process tests.
#include "tests/support/childprocess.h"

#include "base/formatsettings.h"
#include "base/translation.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FormatSettings::current() = FormatSettings::german();
    Translation::setup(QString(), QString());
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return ChildProcess::runRegistered(QString::fromUtf8(argv[2]), app.arguments().mid(3));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
