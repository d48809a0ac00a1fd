#include "base/inifile.h"
#include "catalogs/ui/ukatkatalogauswahl.h"
#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/scriptedinteraction.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

void catalog(const QTemporaryDir &base, const QString &name, const QString &marker,
             const QString &type = {})
{
    CatalogTest::catalogDir(base.filePath(name),
                            marker.isEmpty() ? QStringList() : QStringList{marker}, type, {},
                            u"Sanitär Großhandel"_s);
}

QStringList names(const TUKATKatalogAuswahlFrame &frame)
{
    QStringList out;
    for (const TUKATKatalogAuswahlItem &i : frame.Items())
        out.append(i.CatalogName);
    return out;
}

} // namespace

TEST(KatalogAuswahl, OpenNeedsASelectionListsOnlyCatalogKindsSortedByName)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    QTemporaryDir base;
    TUKATKatalogAuswahl dialog;
    TUKATKatalogAuswahlFrame *frame = dialog.Frame();
    frame->CatalogBaseDir = base.path();
    frame->ShowStock = false;
    frame->FillList();
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages.first().text, u"Es wurde kein Katalog ausgewaehlt."_s);
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    catalog(base, u"ZZ"_s, u"CATALOG.DAT"_s);
    catalog(base, u"AA"_s, u"SCATALOG.DAT"_s);
    catalog(base, u"STOCKCOPY"_s, u"LAGER.DAT"_s);
    catalog(base, u"SEVEN"_s, {}, u"7"_s);
    catalog(base, u"EL"_s, {}, u"2"_s);
    catalog(base, u".hidden"_s, u"CATALOG.DAT"_s);
    catalog(base, u"NOTHING"_s, {});
    frame->FillList();
    EXPECT_EQ(names(*frame), QStringList({u"AA"_s, u"EL"_s, u"ZZ"_s}));
    ASSERT_TRUE(frame->SelectedItem());
    EXPECT_EQ(frame->SelectedItem()->CatalogName, u"AA"_s);
    frame->SelectIndex(1);
    EXPECT_EQ(frame->AddressLink()->text(), u"Adresse \"Sanitär Großhandel\" oeffnen."_s);

    frame->ShowStock = true;
    frame->FillList();
    EXPECT_EQ(names(*frame).first(), u"LAGER"_s);
    EXPECT_EQ(frame->Items().first().Kind, kkStock);
}
