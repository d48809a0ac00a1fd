#include "persistence/datetime.h"
#include "stock/lagerconfig.h"
#include "stock/ui/lagerartikelbuchungenpage.h"
#include "stock/ui/lagerartikelframe1.h"
#include "suite/systemeinstellungen.h"
#include "tests/stock/stocktest.h"
#include "tests/support/articles.h"

#include <QComboBox>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>

namespace
{
// Typing replaces the field's text; Return leaves it the way focus-out does.
void type(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void leave(QLineEdit *edit, const QString &text)
{
    type(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

class ArtikelFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        settings.VATNormal = 19;
        settings.VATReduced = 7;
        settings.VATSpecial = 5.5;
        TLagerConfig config;
        config.Artikelgruppen = {u"SANITAER"_s, u"HEIZUNG"_s};
        config.Lagerorte = {u"Halle 1"_s, u"Keller"_s};
        config.Rabattgruppen.Add(u"RG1"_s, u"Armaturen"_s);
        config.Rabattgruppen.Add(u"RG2"_s, u"Rohre"_s);
        config.VKPEurKgToVKP = perKgToSalePrice;
        config.SaveToFile(TLagerConfig::FileNameIn(stockDir()));
    }

    QString stockDir() const { return dir.path() + u'/'; }

    std::unique_ptr<TLagerArtikelFrame1> open()
    {
        TLagerArtikelEditContext context;
        context.settings = &settings;
        context.stockDir = stockDir();
        context.userName = u"MEIER"_s;
        context.userFullName = u"Meier"_s; // the stamp; the log-on name must not be
        context.bookings = bookings;
        return std::make_unique<TLagerArtikelFrame1>(context);
    }

    template <typename T = QLineEdit> T *child(QWidget &w, const QString &name)
    {
        T *found = w.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QString text(QWidget &w, const QString &name) { return child(w, name)->text(); }

    QTemporaryDir dir;
    TSystemEinstellungen settings;
    int perKgToSalePrice = 1;
    decltype(TLagerArtikelEditContext::bookings) bookings;
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};
};

// Every field the record keeps away from its default, in values that fit the decimals the
// fields show; the storage place is not in the configured list.
TLagerServerObj populated()
{
    TLagerServerObj a;
    a.Assign(fullArticle());
    a.EAN = u"4006381333931"_s;
    a.ME = u"Stck (Stueck)"_s;
    a.Lagerort = u"Regal 9"_s;
    a.Gruppe = u"HEIZUNG"_s;
    a.Rabattgruppen = u"RG2"_s;
    a.Inventurartikel = false;
    a.DEinstandsPreisbildung = true;
    a.VKPreis = {m(16.97), m(15.5), m(0), m(99999.99), m(-1.25)};
    a.EKProKg = m(2.5);
    a.Volumen = 0.0019;
    a.Arbeitszeit = 45;
    a.ViewColor = 0x0080FF;
    a.Kurztext = u"<p><b>Kugelhahn</b> verchromt</p>"_s;
    a.Langtext = u"Messing, PN 25 < 30 bar"_s;
    a.Etikett.clear();
    // Serial numbers and extension data are not the editor's.
    a.Seriennummern.reset();
    a.LetzteSeriennummer.clear();
    a.ExtensionData.clear();
    return a;
}
} // namespace

TEST_F(ArtikelFrameTest, ShowThenStoreKeepsEveryField)
{
    for (const auto &[gross, fourDecimals] :
         {std::pair{false, false}, std::pair{true, false}, std::pair{false, true}}) {
        SCOPED_TRACE(std::string(gross ? "gross" : "net") + (fourDecimals ? ", 4 decimals" : ""));
        settings.SalePriceIsGross = gross;
        settings.FullCurrency = fourDecimals;
        auto frame = open();
        TLagerServerObj shown = populated();
        if (fourDecimals)
            shown.VKPreis[1] = m(15.4321);
        frame->ShowArticle(&shown);

        // Stored into another record, so that a field the frame forgets keeps that record's
        // value and shows up in the comparison.
        TLagerServerObj target;
        target.BuchungsBestand = 7;
        target.CreatedBy = u"Lehmann"_s;
        target.Inventurartikel = true;
        const double before = DateTime::now();
        frame->StoreArticle(target);

        TLagerServerObj expected = populated();
        if (fourDecimals)
            expected.VKPreis[1] = m(15.4321);
        // Shown, never stored back.
        for (auto field :
             {&TLagerArtikelDaten::BuchungsBestand, &TLagerArtikelDaten::SummeWareneingangMe,
              &TLagerArtikelDaten::Anfangsbestand, &TLagerArtikelDaten::InventurErfassung,
              &TLagerArtikelDaten::Inventurdifferenz, &TLagerArtikelDaten::Created})
            expected.*field = target.*field;
        expected.CreatedBy = target.CreatedBy;
        EXPECT_GE(target.Changed, before);
        EXPECT_EQ(target.ChangedBy, u"Meier"_s);
        expected.Changed = target.Changed;
        expected.ChangedBy = target.ChangedBy;

        EXPECT_TRUE(static_cast<const TLagerArtikelDaten &>(target) == expected);
        EXPECT_EQ(target.BuchungsBestand, 7);
    }
}

// The price and unit arithmetic is the calculator's test; here which field drives which.
TEST_F(ArtikelFrameTest, PricesAreShownAsStoredAndFollowTheFieldLeftInBothSettings)
{
    for (bool gross : {false, true}) {
        SCOPED_TRACE(gross ? "gross" : "net");
        settings.SalePriceIsGross = gross;
        auto frame = open();
        TLagerServerObj a;
        a.EKPreis = m(10.00);
        a.VKZuschlag = 1.0;
        a.MwStSatz = 1;
        // Showing recomputes nothing: price 1 disagrees with the factor, and the per-kg price
        // with the purchase price per weight.
        a.VKPreis = {m(12.34), m(0), m(0), m(0), m(0)};
        a.EKProKg = m(4.00);
        a.Gewicht = 3;
        frame->ShowArticle(&a);
        EXPECT_EQ(text(*frame, gross ? u"edVKBrutto1"_s : u"edVKNetto1"_s), u"12,34"_s);
        EXPECT_EQ(text(*frame, u"edEKkg"_s), u"4,00"_s);
        EXPECT_TRUE(scripted.alerts.isEmpty());

        // Choosing the VAT class and typing the factor both recompute every price.
        auto *vat = child<QComboBox>(*frame, u"cbMwStSatz"_s);
        vat->setCurrentIndex(1);
        emit vat->activated(1);
        EXPECT_EQ(text(*frame, u"edVKBrutto1"_s), u"11,90"_s);
        type(child(*frame, u"edVKZuschlag"_s), u"1,5"_s);
        EXPECT_EQ(text(*frame, u"edVKZuschlag"_s), u"1,5"_s) << "typed text stays as typed";
        TLagerServerObj stored;
        frame->StoreArticle(stored);
        EXPECT_EQ(stored.VKPreis[0], gross ? m(17.85) : m(15.00));

        leave(child(*frame, u"edVKNetto1"_s), u"20,00"_s);
        EXPECT_EQ(text(*frame, u"edVKZuschlag"_s), u"2,000000"_s);
        leave(child(*frame, u"edVKNettoGew2"_s), u"2,50"_s);
        EXPECT_EQ(text(*frame, u"edVKNetto2"_s), u"12,50"_s);

        // Gross left: the net side follows and, for price 1, the factor.
        leave(child(*frame, u"edVKBrutto1"_s), u"29,75"_s);
        EXPECT_EQ(text(*frame, u"edVKNetto1"_s), u"25,00"_s);
        EXPECT_EQ(text(*frame, u"edVKZuschlag"_s), u"2,500000"_s);
    }
}

TEST_F(ArtikelFrameTest, UnitButtonsAndPerKgNotices)
{
    perKgToSalePrice = 3;
    SetUp();
    auto frame = open();
    TLagerServerObj a;
    a.EKPreis = m(10.00);
    a.VKZuschlag = 1.5;
    a.MwStSatz = 1;
    frame->ShowArticle(&a);

    type(child(*frame, u"edDichte"_s), u"7,85"_s);
    type(child(*frame, u"edDicke"_s), u"0,002"_s);
    type(child(*frame, u"edLaenge"_s), u"2"_s);
    type(child(*frame, u"edBreite"_s), u"1"_s);
    QTest::mouseClick(child<QPushButton>(*frame, u"btCalcOberfl"_s), Qt::LeftButton);
    EXPECT_EQ(text(*frame, u"edOberfl"_s), u"2,0000"_s);
    QTest::mouseClick(child<QPushButton>(*frame, u"btCalcVol"_s), Qt::LeftButton);
    EXPECT_EQ(text(*frame, u"edVol"_s), u"0,0040"_s);

    // Weight per unit first: with a price per kg the purchase price follows it and the
    // prices are recomputed.
    type(child(*frame, u"edEKkg"_s), u"0,50"_s);
    QTest::mouseClick(child<QPushButton>(*frame, u"btCalcGewichtME"_s), Qt::LeftButton);
    EXPECT_EQ(text(*frame, u"edGewicht"_s), u"31,4000"_s);
    EXPECT_EQ(text(*frame, u"edVKNetto1"_s), u"23,55"_s);
    // 15.7 kg/m²; the purchase price agrees already.
    QTest::mouseClick(child<QPushButton>(*frame, u"btCalcGewichtQM"_s), Qt::LeftButton);
    EXPECT_EQ(text(*frame, u"edGewichtQM"_s), u"15,7000"_s);
    EXPECT_EQ(text(*frame, u"edVKNetto3"_s), u"0,75"_s);
    ASSERT_EQ(scripted.alerts.size(), 1);
    EXPECT_EQ(scripted.alerts[0].text, u"Der Einkaufspreis pro Mengeneinheit wurde angepasst."_s);

    // Leaving the purchase price adjusts the per-kg price; no sale price is recomputed, not
    // even price 3 that follows the per-kg price elsewhere.
    leave(child(*frame, u"edEK"_s), u"31,40"_s);
    EXPECT_EQ(text(*frame, u"edEKkg"_s), u"1,00"_s);
    EXPECT_EQ(text(*frame, u"edVKNetto3"_s), u"0,75"_s);
    ASSERT_EQ(scripted.alerts.size(), 2);
    EXPECT_EQ(scripted.alerts[1].text, u"Der Einkaufspreis pro kg wurde angepasst."_s);
}

TEST_F(ArtikelFrameTest, KeptWithoutStockIsNeitherCountedNorSerialised)
{
    auto frame = open();
    TLagerServerObj a;
    a.SNPflicht = true;
    a.Inventurartikel = true;
    frame->ShowArticle(&a);
    child<QCheckBox>(*frame, u"cbOhneBestand"_s)->setChecked(true);
    TLagerServerObj stored;
    frame->StoreArticle(stored);
    EXPECT_TRUE(stored.IsNotBestandsartikel);
    EXPECT_FALSE(stored.SNPflicht);
    EXPECT_FALSE(stored.Inventurartikel);
    // The check boxes still show the user's choice for when the flag is taken back.
    EXPECT_TRUE(child<QCheckBox>(*frame, u"ckbSNPflicht"_s)->isChecked());
}

TEST_F(ArtikelFrameTest, PlainTextsStayPlainAndCopiesKeepTheirFormatting)
{
    auto frame = open();
    TLagerServerObj a = populated();
    frame->ShowArticle(&a);
    // A stored text that is not rich text is shown as it is, "<" included.
    EXPECT_EQ(child<QTextEdit>(*frame, u"rv2"_s)->toPlainText(), u"Messing, PN 25 < 30 bar"_s);
    EXPECT_EQ(child<QTextEdit>(*frame, u"rv1"_s)->toPlainText(), u"Kugelhahn verchromt"_s);

    QTest::mouseClick(child<QPushButton>(*frame, u"btKTToLT"_s), Qt::LeftButton);
    QTest::keyClicks(child<QTextEdit>(*frame, u"rv3"_s), u"Etikett 1"_s);
    TLagerServerObj stored;
    frame->StoreArticle(stored);
    EXPECT_EQ(stored.Kurztext, a.Kurztext) << "untouched views keep their text";
    QTextDocument doc;
    doc.setHtml(stored.Langtext);
    EXPECT_EQ(doc.toPlainText(), u"Kugelhahn verchromt"_s);
    EXPECT_TRUE(doc.begin().begin().fragment().charFormat().font().bold())
        << "the copy keeps the formatting";
    EXPECT_TRUE(Qt::mightBeRichText(stored.Etikett));
    doc.setHtml(stored.Etikett);
    EXPECT_EQ(doc.toPlainText(), u"Etikett 1"_s);
}

// The tab "Buchungen" shows what the store reads for the shown article, newest first.
TEST_F(ArtikelFrameTest, BookingsTabShowsTheArticlesHistoryNewestFirst)
{
    QStringList asked;
    bookings = [&asked](const QString &nr) {
        asked.append(nr);
        TLagerBuchung opening = TLagerBuchung::Change(TLagerBuchung::Opening, nr, 0, 2, 46000, {});
        TLagerBuchung receipt =
            TLagerBuchung::Change(TLagerBuchung::Receipt, nr, 2, 5.5, 46001.5, u"LAGER"_s);
        receipt.Preis = Money::fromDouble(12.5);
        receipt.BestellNr = u"B-7"_s;
        receipt.BestellPos = 3;
        return TLagerBuchungList{opening, receipt};
    };
    auto frame = open();
    TLagerServerObj article = populated();
    article.LagerArtikelNr = u"A1"_s;
    frame->ShowArticle(&article);
    EXPECT_EQ(asked, QStringList{u"A1"_s});

    auto *page = frame->findChild<TLagerArtikelBuchungenPage *>();
    ASSERT_NE(page, nullptr);
    QTreeWidget *grid = page->Grid();
    ASSERT_EQ(grid->topLevelItemCount(), 2);
    const QTreeWidgetItem *newest = grid->topLevelItem(0);
    EXPECT_EQ(newest->text(2), u"Warenzugang"_s);
    EXPECT_EQ(std::tuple(newest->text(3), newest->text(7)), std::tuple(u"3,500"_s, u"B-7 / 3"_s));
    EXPECT_EQ(grid->topLevelItem(1)->text(2), u"Anfangsbestand"_s);

    // Cleared, the frame forgets the article and sets a new article's defaults.
    frame->Clear();
    EXPECT_EQ(grid->topLevelItemCount(), 0);
    EXPECT_TRUE(text(*frame, u"edArtikelnummer"_s).isEmpty());
    EXPECT_TRUE(child<QCheckBox>(*frame, u"ckbInventurartikel"_s)->isChecked());
    EXPECT_FALSE(frame->HasVatClass());
}
