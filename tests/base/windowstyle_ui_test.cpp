#include "base/inifile.h"
#include "base/ui/windowstyle.h"

#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(WindowStyle, ColoursByTagAndTagsReset)
{
    IniFile ini;
    ini.setText(u"[Colors-M1]\nColor2=255\n[Screenresolution]\nForms=0\n"_s);
    QWidget window;
    auto *tagged = new QLabel(&window);
    tagged->setProperty("tag", 2);
    auto *other = new QLabel(&window);
    other->setProperty("tag", 7);
    ApplyWindowStyle(&window, true, ini, u"M1"_s);
    EXPECT_EQ(tagged->property("tag").toInt(), 0);
    EXPECT_EQ(tagged->palette().color(tagged->backgroundRole()), QColor(255, 0, 0));
    EXPECT_EQ(other->property("tag").toInt(), 7);
    EXPECT_EQ(window.size(), QSize(1024, 690));
}

TEST(WindowStyle, OtherModeLeavesMainWindowAsDesigned)
{
    QWidget window;
    window.resize(300, 200);
    ApplyWindowStyle(&window, true, 2);
    EXPECT_EQ(window.size(), QSize(300, 200));
}
