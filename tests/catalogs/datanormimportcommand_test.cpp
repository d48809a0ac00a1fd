#include "base/inifile.h"
#include "base/messages.h"
#include "catalogs/datanorm/datanormimportcommand.h"
#include "catalogs/ui/datanormimportdialog.h"
#include "tests/catalogs/catalogtesthelpers.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/datanormgenerator.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kArticles = 40;

// The dialog answers from a list; each answer is one showing of the dialog, and running out
// cancels it.
struct DatanormImportWindow : ::testing::Test {
    QTemporaryDir tmp;
    QString base = tmp.path() + u"/KATALOGE/"_s;
    QString delivery = tmp.path() + u"/LIEFERUNG/"_s;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QList<DatanormImportCommand::Request> answers;
    QList<DatanormImportCommand::Request> shown; // what the dialog showed each time

    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(DatanormGenerator::GenerateDelivery(delivery, kArticles, 5, &error))
            << error.toStdString();
        QDir().mkpath(base);
    }
    DatanormImport::Result run()
    {
        DatanormImportCommand command(base, [this](DatanormImportCommand::Request &r) {
            shown << r;
            if (answers.isEmpty())
                return false;
            r = answers.takeFirst();
            return true;
        });
        return command.Run();
    }
    QStringList texts() const
    {
        QStringList t;
        for (const auto &m : ui.messages)
            t << m.text;
        return t;
    }
};
} // namespace

TEST_F(DatanormImportWindow, RefusedRequestsAreAskedAgainWithWhatTheUserTyped)
{
    CatalogTest::catalogDir(base + u"KOEHLER"_s, {u"SCATALOG.DAT"_s}, u"0"_s);
    const QString empty = tmp.path() + u"/LEER/"_s;
    QDir().mkpath(empty);
    answers = {{delivery, u"../ETC"_s, {}},
               {delivery, u"lager"_s, {}},
               {empty, u"GH"_s, {}},
               {delivery, u"koehler"_s, {}}};
    const DatanormImport::Result r = run();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(texts(),
              QStringList({u"Ungueltiger Katalogname \"../ETC\"."_s,
                           u"Ungueltiger Katalogname \"lager\"."_s,
                           u"Im Verzeichnis \"%1\" liegt keine Datei DATANORM.001."_s.arg(empty),
                           u"Der Katalog \"KOEHLER\" ist kein DATANORM-Katalog."_s}));
    ASSERT_EQ(shown.size(), 5); // the fifth showing was cancelled
    EXPECT_EQ(shown[3].deliveryDir, empty);
    EXPECT_FALSE(QFileInfo::exists(base + u"KOEHLER/CATALOG.DAT"_s));
    EXPECT_FALSE(QFileInfo::exists(base + u"GH"_s));
}

TEST_F(DatanormImportWindow, NewCatalogThenAnUpdateOnlyAfterTheQuestion)
{
    answers = {{delivery, u" gh "_s, u"70001"_s}};
    DatanormImport::Result r = run();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.written, kArticles);
    EXPECT_EQ(texts(), QStringList({u"%1 Artikel geschrieben, 0 geloescht."_s.arg(kArticles)}));
    EXPECT_TRUE(QFileInfo::exists(base + u"GH/CATALOG.DAT"_s));
    EXPECT_EQ(IniFile(base + u"GH/SUPPLIER.INI"_s).readString(u"Supplier"_s, u"ID"_s), u"70001"_s);

    // No to the update asks again; Yes updates.
    ui.messages.clear();
    ui.answers = {ModalResult::No, ModalResult::Yes};
    answers = {{delivery, u"GH"_s, {}}, {delivery, u"GH"_s, {}}};
    r = run();
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    ASSERT_EQ(ui.messages.size(), 3);
    EXPECT_EQ(ui.messages[0].text,
              u"Der Katalog \"GH\" existiert bereits. Mit der Lieferung aktualisieren?"_s);
    EXPECT_EQ(shown.size(), 3);

    // A cancel while importing says nothing more.
    ui.messages.clear();
    ui.cancelProgressAfter = 3;
    answers = {{delivery, u"NEU"_s, {}}};
    r = run();
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST(DatanormImportDialog, ImportNeedsDirectoryAndNameAndHandsBackTrimmedFields)
{
    TDatanormImportDialog dialog([] { return u"70002"_s; });
    EXPECT_FALSE(dialog.ImportButton()->isEnabled());
    dialog.DirectoryEdit()->setText(u" /tmp/dn "_s);
    EXPECT_FALSE(dialog.ImportButton()->isEnabled());
    dialog.NameEdit()->setText(u"GH "_s);
    EXPECT_TRUE(dialog.ImportButton()->isEnabled());
    dialog.findChild<QAbstractButton *>(u"btLieferant"_s)->click();
    const DatanormImportCommand::Request r = dialog.Current();
    EXPECT_EQ(r.deliveryDir, u"/tmp/dn"_s);
    EXPECT_EQ(r.catalogName, u"GH"_s);
    EXPECT_EQ(r.supplier, u"70002"_s);
    EXPECT_EQ(TDatanormImportDialog().findChild<QAbstractButton *>(u"btLieferant"_s), nullptr);
}
