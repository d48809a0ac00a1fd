// Commands 102 and 105 of the main window reach their road with the order directory of the
// logged-on client, and neither opens anything without the right to book.
#include "app/ui/mod00501form1.h"
#include "base/inifile.h"
#include "catalogs/katalogdbpool.h"
#include "stock/ui/lageranzeigenframe.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/installation.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

class OrderReceiptCommands : public GeneratedInstallation
{
protected:
    void SetUp() override
    {
        GeneratedInstallation::SetUp();
        ASSERT_TRUE(TSystemEinstellungen::Login(u"DEMO"_s, u"admin"_s));
    }

    // Triggers the menu entry with or without right 44; returns the directories the order
    // journal was asked for.
    QStringList trigger(const char *entry, bool mayBook)
    {
        QStringList chosenIn;
        MainWindowContext c;
        c.hasRight = [mayBook](const QString &right) { return mayBook || right != u"44"; };
        c.editContext.stockDir = TSystemEinstellungen::instance().LagerDir;
        c.userFullName = u"Administrator"_s;
        c.chooseOrder = [&chosenIn](const QString &orderDir) {
            chosenIn.append(orderDir);
            return u"B2026-GIBTESNICHT"_s;
        };
        TMOD00501Form1 w(c);
        w.attachStock(nullptr, nullptr,
                      new TLagerAnzeigenFrame(&w, c.editContext.stockDir, IniFile(), 0, u"Ich"_s));
        QAction *action = w.functionsMenu()->findChild<QAction *>(QString::fromLatin1(entry));
        EXPECT_TRUE(action) << entry;
        if (action)
            action->trigger();
        return chosenIn;
    }
};

TEST_F(OrderReceiptCommands, ReachTheRoadOnlyWithTheRightToBook)
{
    for (const char *entry : {"miZugangBestEinz", "miZugangBestTab"}) {
        SCOPED_TRACE(entry);
        ui.messages.clear();
        EXPECT_TRUE(trigger(entry, false).isEmpty());
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages[0].text, u"Sie sind nicht berechtigt, Artikel zu buchen!"_s);

        // The road opened the client's order table and looked for the chosen order there.
        ui.messages.clear();
        EXPECT_EQ(trigger(entry, true),
                  QStringList{TSystemEinstellungen::instance().BestellwesenDir});
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages[0].text, u"Bestellung \"B2026-GIBTESNICHT\" nicht gefunden."_s);
    }
}

} // namespace
