// The label window as a user goes through it: collect articles, choose the sheet and its free
// positions, preview, print; and what it remembers for the next time.
#include "base/inifile.h"
#include "printing/printetikettmanager.h"
#include "printing/ui/mod00317frame1.h"
#include "printing/ui/mod00317selectframe.h"
#include "printing/ui/mod00501form9.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/labelgenerator.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
const QString kSheet = u"A4 3 x 8 Regaletiketten 70 x 37 mm"_s;

class LabelWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(GenerateLabelFile(dir.path(), &error)) << error.toStdString();
    }

    LabelWindowContext context()
    {
        LabelWindowContext c;
        c.formsDir = dir.path();
        c.settingsFile = dir.filePath(u"MOD00317.INI"_s);
        c.values.formatMoney = [](Money m) { return QString::number(m.toDouble(), 'f', 2); };
        c.selectedArticles = [this] { return selected; };
        return c;
    }

    static void click(QWidget &window, const char *name)
    {
        window.findChild<QPushButton *>(QString::fromLatin1(name))->click();
    }

    static void choose(TMOD00501Form9 &window, const QString &form)
    {
        window.FormList()->setCurrentItem(window.FormList()->findItems(form, Qt::MatchExactly)[0]);
    }

    QStringList alerts() const
    {
        QStringList texts;
        for (const auto &a : ui.alerts)
            texts.append(a.text);
        return texts;
    }

    QTemporaryDir dir;
    std::vector<TLagerArtikelDaten> selected;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
};

TLagerArtikelDaten article(const QString &nr)
{
    TLagerArtikelDaten a;
    a.LagerArtikelNr = nr;
    a.Bezeichnung = u"Artikel "_s + nr;
    return a;
}
} // namespace

TEST_F(LabelWindow, WalksFromTheListThroughTheSheetToThePreview)
{
    TMOD00501Form9 window(context());
    click(window, "btWeiter1");
    click(window, "btArtikelHinzufuegen");
    EXPECT_EQ(window.Page(), 0);
    EXPECT_EQ(alerts(), (QStringList{u"Fuegen Sie erst einen Artikel der Liste hinzu!"_s,
                                     u"Waehlen Sie erst eine oder mehrere Zeilen aus!"_s}));

    // Each addition appends, the same article as often as it comes.
    selected = {article(u"A1"_s), article(u"B2"_s)};
    click(window, "btArtikelHinzufuegen");
    click(window, "btArtikelHinzufuegen");
    auto *list = window.findChild<QTreeWidget *>(u"vstArtikel"_s);
    ASSERT_EQ(list->topLevelItemCount(), 4);
    list->topLevelItem(1)->setSelected(true);
    click(window, "btArtikelLoeschen");
    ASSERT_EQ(window.Articles().size(), 3u);
    EXPECT_EQ(window.Articles()[1].LagerArtikelNr, u"A1"_s);

    click(window, "btWeiter1");
    EXPECT_EQ(window.Page(), 1);
    click(window, "btWeiter2");
    EXPECT_EQ(window.Page(), 1);
    EXPECT_EQ(alerts().last(), u"Waehlen Sie erst ein Etikettenformular aus!"_s);

    // A click on a position of the drawn sheet switches it off; "all on" brings it back.
    choose(window, kSheet);
    TMOD00317SelectFrame &sheet = *window.SheetFrame();
    sheet.resize(420, 600);
    const TPrintEtikettForm &form = *window.ChosenForm();
    const QRectF page = sheet.SheetRect();
    const double perTenth = page.width() / 2100;
    const QPoint second = (page.topLeft() + QPointF((form.Holders[1].Left + 350) * perTenth,
                                                    (form.Holders[1].Top + 180) * perTenth))
                              .toPoint();
    EXPECT_EQ(sheet.PositionAt(second), 1);
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, second);
    EXPECT_FALSE(form.Holders[1].Active);
    click(window, "btAlleDeaktivieren");
    click(window, "btAlleAktivieren");
    EXPECT_TRUE(form.Holders[1].Active);
    QTest::mouseClick(&sheet, Qt::LeftButton, {}, second);

    click(window, "btWeiter2");
    EXPECT_EQ(window.Page(), 2);
    EXPECT_EQ(window.Printed().PageCount(), 1);
    click(window, "btZurueck3");
    EXPECT_EQ(window.Page(), 1);
}

TEST_F(LabelWindow, RemembersTheLayoutAndZoomAndPrintsEachCopyAsAJob)
{
    selected = {article(u"A1"_s)};
    {
        auto c = context();
        c.printDialog = [&](QPrinter &printer, int pages) {
            EXPECT_EQ(pages, 2);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir.filePath(u"print.pdf"_s));
            printer.setCopyCount(3);
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(2, 2);
            return true;
        };
        TMOD00501Form9 window(std::move(c));
        choose(window, kSheet);
        window.PreviewFrame()->SetZoomIndex(3);
        for (int k = 0; k < 25; ++k)
            window.AddSelected();
        ASSERT_TRUE(window.NextToSheet());
        ASSERT_TRUE(window.PrintToPreview());
        window.Print();
        EXPECT_EQ(window.JobsPrinted(), 3);
        EXPECT_GT(QFileInfo(dir.filePath(u"print.pdf"_s)).size(), 0);
        window.close();
    }
    const IniFile ini(dir.filePath(u"MOD00317.INI"_s));
    EXPECT_EQ(ini.readString(u"MOD00317"_s, u"LastSelection"_s), kSheet);
    EXPECT_EQ(ini.readInteger(u"MOD00317"_s, u"ZoomIndex"_s, -1), 3);

    TMOD00501Form9 again(context());
    ASSERT_NE(again.ChosenForm(), nullptr);
    EXPECT_EQ(again.ChosenForm()->Name, kSheet);
    EXPECT_EQ(again.PreviewFrame()->ZoomIndex(), 3);
}
