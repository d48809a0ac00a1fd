#include "base/inifile.h"
#include "base/ui/windowstyle.h"

#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(WindowStyle, LaterWindowsTakeTheMainWindowsScheme)
{
    IniFile ini;
    ini.setText(u"[Colors-M2]\nColor1=65280\nColor3=abc\nColor5=\n[Colors-M1]\nColor1=255\n"_s);
    QWidget main;
    ApplyWindowStyle(&main, true, ini, u"M2"_s);

    // Built after the main window was styled, as the article window and its pages are.
    struct Case {
        int tag;
        QColor expected; // invalid: the widget keeps what it had
    };
    const Case cases[] = {
        {1, QColor(0, 255, 0)},        // the client's own section, not another's
        {3, QColor()},                 // not a colour value
        {5, QColor(0x84, 0x82, 0x84)}, // present but empty: the default of Color5
        {6, QColor()},                 // no colour of the scheme
    };
    QWidget dialog;
    for (const Case &c : cases) {
        auto *w = new QLabel(&dialog);
        w->setProperty("tag", c.tag);
    }
    ApplyWindowStyle(&dialog);
    const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
    ASSERT_EQ(labels.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].tag);
        QLabel *w = labels[qsizetype(i)];
        EXPECT_EQ(w->autoFillBackground(), cases[i].expected.isValid());
        if (cases[i].expected.isValid()) {
            EXPECT_EQ(w->palette().color(w->backgroundRole()), cases[i].expected);
        }
    }
}
