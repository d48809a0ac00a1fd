#include "base/inifile.h"
#include "base/messages.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

TEST(ReportMessage, ShowsDetailsUnlessSilentAndCollectsProtocol)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    Messages::setApplicationFileName(u"/x/BIN/MOD00501"_s);
    ReportMessage(MessageKind::Warning, u"Achtung"_s);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].type, MsgDlgType::Warning);
    EXPECT_TRUE(ui.messages[0].text.endsWith(u"Application: /x/BIN/MOD00501"_s));

    const std::runtime_error boom("kaputt");
    Messages::setProtocolEnabled(true);
    Messages::setSilent(true);
    ReportMessage(MessageKind::FatalError, u"Schlimm"_s, nullptr, &boom);
    Messages::setSilent(false);
    EXPECT_EQ(ui.messages.size(), 1);
    ASSERT_EQ(Messages::protocol().size(), 1);
    EXPECT_EQ(Messages::protocol()[0].kind, MessageKind::FatalError);

    TLogHelper::DatabaseError(&boom, u"IModLagerDBServerObj.ReadArticle"_s);
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[1].type, MsgDlgType::Error);
    EXPECT_TRUE(
        ui.messages[1].text.startsWith(u"Datenbankfehler.\nIModLagerDBServerObj.ReadArticle\n"
                                       u"Exception-Message (std::runtime_error): kaputt\n"_s));
    Messages::setProtocolEnabled(false);
    Messages::setApplicationFileName(QString());
}

TEST(IniFile, KeepsOrderAndIgnoresCaseOnLookup)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"MOD00501.INI"_s);
    IniFile ini;
    ini.setText(u"[View]\r\nWidth=10\r\n[Colors-Demo]\r\nColor4=16244694\r\n"_s);
    EXPECT_EQ(ini.readInteger(u"view"_s, u"WIDTH"_s, 0), 10);
    EXPECT_EQ(ini.readInteger(u"Colors-DEMO"_s, u"Color4"_s, 0), 16244694);
    ini.writeString(u"VIEW"_s, u"height"_s, u"5"_s);
    EXPECT_TRUE(ini.saveAs(path));
    IniFile back(path);
    EXPECT_EQ(back.sections(), QStringList({u"View"_s, u"Colors-Demo"_s}));
    EXPECT_EQ(back.keys(u"View"_s), QStringList({u"Width"_s, u"height"_s}));
}
