#include "base/inifile.h"
#include "base/messages.h"
#include "tests/support/scriptedinteraction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

TEST(MessageBox, CaptionsFollowTheType)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    ui.answers = {ModalResult::No};
    EXPECT_EQ(ShowMessageBox(QStringLiteral("Frage?"), MsgDlgType::Confirmation, MsgButton::YesNo),
              ModalResult::No);
    ShowMessageBoxFmt(QStringLiteral("Datei \"%s\" nicht gefunden."), {QStringLiteral("X.INI")},
                      MsgDlgType::Error, MsgButton::OK);
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[0].caption, QStringLiteral("Bestaetigung"));
    EXPECT_EQ(ui.messages[0].buttons, 3);
    EXPECT_EQ(ui.messages[1].caption, QStringLiteral("Fehler"));
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("Datei \"X.INI\" nicht gefunden."));
    EXPECT_EQ(ui.messages[1].buttons, 4);
}

TEST(ReportMessage, ShowsDetailsUnlessSilentAndCollectsProtocol)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    Messages::setApplicationFileName(QStringLiteral("/x/BIN/MOD00501"));
    ReportMessage(MessageKind::Warning, QStringLiteral("Achtung"));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].type, MsgDlgType::Warning);
    EXPECT_TRUE(ui.messages[0].text.endsWith(QStringLiteral("Application: /x/BIN/MOD00501")));

    const std::runtime_error boom("kaputt");
    Messages::setProtocolEnabled(true);
    Messages::setSilent(true);
    ReportMessage(MessageKind::FatalError, QStringLiteral("Schlimm"), nullptr, &boom);
    Messages::setSilent(false);
    EXPECT_EQ(ui.messages.size(), 1);
    ASSERT_EQ(Messages::protocol().size(), 1);
    EXPECT_EQ(Messages::protocol()[0].kind, MessageKind::FatalError);

    TLogHelper::DatabaseError(&boom, QStringLiteral("IModLagerDBServerObj.ReadArticle"));
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[1].type, MsgDlgType::Error);
    EXPECT_TRUE(ui.messages[1].text.startsWith(
        QStringLiteral("Datenbankfehler.\nIModLagerDBServerObj.ReadArticle\n"
                       "Exception-Message (std::runtime_error): kaputt\n")));
    Messages::setProtocolEnabled(false);
    Messages::setApplicationFileName(QString());
}

TEST(IniFile, KeepsOrderAndIgnoresCaseOnLookup)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MOD00501.INI"));
    IniFile ini;
    ini.setText(QStringLiteral("[View]\r\nWidth=10\r\n[Colors-Demo]\r\nColor4=16244694\r\n"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("view"), QStringLiteral("WIDTH"), 0), 10);
    EXPECT_EQ(ini.readInteger(QStringLiteral("Colors-DEMO"), QStringLiteral("Color4"), 0), 16244694);
    ini.writeString(QStringLiteral("VIEW"), QStringLiteral("height"), QStringLiteral("5"));
    EXPECT_TRUE(ini.saveAs(path));
    IniFile back(path);
    EXPECT_EQ(back.sections(), QStringList({QStringLiteral("View"), QStringLiteral("Colors-Demo")}));
    EXPECT_EQ(back.keys(QStringLiteral("View")),
              QStringList({QStringLiteral("Width"), QStringLiteral("height")}));
}
