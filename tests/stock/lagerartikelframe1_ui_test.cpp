#include "persistence/datetime.h"
#include "stock/lagerconfig.h"
#include "stock/lagerserverobj.h"
#include "stock/ui/lagerartikelframe1.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/scriptedinteraction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
Money m(double v)
{
    return Money::fromDouble(v);
}

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
        return std::make_unique<TLagerArtikelFrame1>(context);
    }

    template <typename T = QLineEdit> T *child(QWidget &w, const QString &name)
    {
        T *found = w.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QString text(QWidget &w, const QString &name)
    {
        if (auto *label = w.findChild<QLabel *>(name))
            return label->text();
        return child(w, name)->text();
    }

    QTemporaryDir dir;
    TSystemEinstellungen settings;
    int perKgToSalePrice = 1;
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};
};

// Every field the record keeps, with values that differ from the defaults and fit the
// decimals the fields show.
TLagerServerObj populated()
{
    TLagerServerObj a;
    a.LagerArtikelNr = u"A0100"_s;
    a.Katalog = u"GC"_s;
    a.EAN = u"4006381333931"_s;
    a.Bezeichnung = u"Kugelhahn 1/2\""_s;
    a.ME = u"Stck (Stueck)"_s;
    a.Lagerort = u"Regal 9"_s; // not in the configured list
    a.Gruppe = u"HEIZUNG"_s;
    a.Inventurartikel = false;
    a.SNPflicht = true;
    a.IsNotBestandsartikel = false;
    a.Rabattgruppen = u"RG2"_s;
    a.DEinstandsPreisbildung = true;
    a.EKPreis = m(12.34);
    a.VKZuschlag = 1.375;
    a.MwStSatz = 3;
    a.PE = 100;
    a.VKPreis = {m(16.97), m(15.5), m(0), m(99999.99), m(-1.25)};
    a.EKProKg = m(2.5);
    a.Breite = 0.25;
    a.Laenge = 6;
    a.Dicke = 0.00125;
    a.Dichte = 7.85;
    a.Oberflaeche = 1.5;
    a.Volumen = 0.0019;
    a.GewichtQm = 9.8125;
    a.Gewicht = 14.7188;
    a.Verpackungsmenge = 2.5;
    a.VerpackungsME = u"Bund"_s;
    a.Arbeitszeit = 45;
    a.Lohn = m(38.5);
    a.ViewColor = 0x0080FF;
    a.OhneRabatt = true;
    a.OhneProvision = true;
    a.EKSperre = true;
    a.VKSperre = true;
    a.KeineEKPflege = true;
    QTextDocument doc;
    doc.setHtml(u"<p><b>Kugelhahn</b> verchromt</p>"_s);
    a.Kurztext = doc.toHtml();
    a.Langtext = u"Messing, PN 25 < 30 bar"_s;
    a.Etikett = QString();
    a.MindestBestand = {u"<from>0101</from><to>3006</to><mb>5,000</mb><bm>20,000</bm>"_s,
                        u"<from>0107</from><to>3112</to><mb>2,000</mb><bm>10,000</bm>"_s};
    a.KatRefs.Add(u"DATANORM1"_s, u"4711-0815"_s);
    a.KatRefs.Add(u"[10001_2]"_s, u"[B-77]"_s);
    a.Bilder.Add(QString(), u"kugelhahn.jpg"_s);
    TDsnElement &colour = a.Zusatzdaten.Add();
    colour.Name = u"Farbe"_s;
    colour.Kind = TDsnElement::Text;
    colour.TextValue = u"rot"_s;
    TDsnElement &count = a.Zusatzdaten.Add();
    count.Name = u"Anzahl"_s;
    count.Kind = TDsnElement::Integer;
    count.IntValue = -42;
    // Shown, never stored back.
    a.BuchungsBestand = 12.5;
    a.SummeWareneingangMe = 40;
    a.Anfangsbestand = 3;
    a.InventurErfassung = 11;
    a.Inventurdifferenz = -1.5;
    a.Created = 46000.5;
    a.CreatedBy = u"Schulz"_s;
    a.Changed = 46001.25;
    a.ChangedBy = u"Schulz"_s;
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
        for (auto field :
             {&TLagerArtikelDaten::BuchungsBestand, &TLagerArtikelDaten::SummeWareneingangMe,
              &TLagerArtikelDaten::Anfangsbestand, &TLagerArtikelDaten::InventurErfassung,
              &TLagerArtikelDaten::Inventurdifferenz, &TLagerArtikelDaten::Created})
            expected.*field = target.*field;
        expected.CreatedBy = target.CreatedBy;
        EXPECT_GE(target.Changed, before);
        EXPECT_LE(target.Changed, DateTime::now());
        EXPECT_EQ(target.ChangedBy, u"Meier"_s);
        expected.Changed = target.Changed;
        expected.ChangedBy = target.ChangedBy;

        EXPECT_EQ(target.VKPreis, expected.VKPreis);
        EXPECT_EQ(target.Kurztext, expected.Kurztext);
        EXPECT_EQ(target.Langtext, expected.Langtext);
        EXPECT_TRUE(static_cast<const TLagerArtikelDaten &>(target) == expected);
        EXPECT_EQ(target.BuchungsBestand, 7);
    }
}

TEST_F(ArtikelFrameTest, FieldsShowTheirDecimalsAndClearEmptiesThem)
{
    auto frame = open();
    TLagerServerObj a = populated();
    frame->ShowArticle(&a);
    EXPECT_EQ(text(*frame, u"edBestand"_s), u"12,500"_s);
    EXPECT_EQ(text(*frame, u"edInvDifferenz"_s), u"-1,500"_s);
    EXPECT_EQ(text(*frame, u"edVKZuschlag"_s), u"1,375000"_s);
    EXPECT_EQ(text(*frame, u"edEK"_s), u"12,34"_s);
    EXPECT_EQ(text(*frame, u"edVKNetto4"_s), u"99.999,99"_s);
    EXPECT_EQ(text(*frame, u"edDicke"_s), u"0,00125"_s);
    EXPECT_EQ(text(*frame, u"edGewicht"_s), u"14,7188"_s);
    EXPECT_EQ(text(*frame, u"edArbeitszeit"_s), u"45"_s);
    EXPECT_EQ(child<QComboBox>(*frame, u"cbLagerort"_s)->currentText(), u"Regal 9"_s);
    EXPECT_EQ(child<QComboBox>(*frame, u"cbRabattgruppe"_s)->currentText(), u"Rohre"_s);
    EXPECT_FALSE(child<QCheckBox>(*frame, u"ckbInventurartikel"_s)->isChecked());

    // What the article window uses when it refuses OK.
    EXPECT_TRUE(frame->HasVatClass());
    frame->Pages()->setCurrentIndex(4);
    frame->FocusVatClass();
    EXPECT_EQ(frame->Pages()->currentWidget()->objectName(), u"tsPreise"_s);

    frame->Clear();
    EXPECT_TRUE(text(*frame, u"edArtikelnummer"_s).isEmpty());
    EXPECT_TRUE(child<QTextEdit>(*frame, u"rv1"_s)->document()->isEmpty());
    EXPECT_TRUE(child<QCheckBox>(*frame, u"ckbInventurartikel"_s)->isChecked());
    EXPECT_FALSE(child<QCheckBox>(*frame, u"ckbSNPflicht"_s)->isChecked());
    EXPECT_FALSE(frame->HasVatClass());
}

TEST_F(ArtikelFrameTest, PricesFollowTheFieldLeftInBothSettings)
{
    for (bool gross : {false, true}) {
        SCOPED_TRACE(gross ? "gross" : "net");
        settings.SalePriceIsGross = gross;
        auto frame = open();
        TLagerServerObj a;
        a.LagerArtikelNr = u"P1"_s;
        a.EKPreis = m(10.00);
        a.VKZuschlag = 1.0;
        frame->ShowArticle(&a);

        // Choosing the VAT class and typing the factor both recompute every price.
        auto *vat = child<QComboBox>(*frame, u"cbMwStSatz"_s);
        vat->setCurrentIndex(1);
        emit vat->activated(1);
        EXPECT_EQ(text(*frame, u"edVKBrutto1"_s), u"11,90"_s);
        type(child(*frame, u"edVKZuschlag"_s), u"1,5"_s);
        EXPECT_EQ(text(*frame, u"edVKNetto1"_s), u"15,00"_s);
        EXPECT_EQ(text(*frame, u"edVKBrutto1"_s), u"17,85"_s);
        EXPECT_EQ(text(*frame, u"edVKZuschlag"_s), u"1,5"_s) << "typed text stays as typed";

        TLagerServerObj stored;
        frame->StoreArticle(stored);
        EXPECT_EQ(stored.VKPreis[0], gross ? m(17.85) : m(15.00));
        EXPECT_EQ(stored.VKZuschlag, 1.5);
        EXPECT_EQ(stored.MwStSatz, 1);

        leave(child(*frame, u"edVKNetto1"_s), u"20,00"_s);
        EXPECT_EQ(text(*frame, u"edVKZuschlag"_s), u"2,000000"_s);
        EXPECT_EQ(text(*frame, u"edVKBrutto1"_s), u"23,80"_s);
        leave(child(*frame, u"edVKNettoGew2"_s), u"2,50"_s);
        EXPECT_EQ(text(*frame, u"edVKNetto2"_s), u"12,50"_s);

        // Gross left: the net side follows and, for price 1, the factor.
        leave(child(*frame, u"edVKBrutto1"_s), u"29,75"_s);
        EXPECT_EQ(text(*frame, u"edVKNetto1"_s), u"25,00"_s);
        EXPECT_EQ(text(*frame, u"edVKZuschlag"_s), u"2,500000"_s);
    }
}

TEST_F(ArtikelFrameTest, ShowingDoesNotRecomputePrices)
{
    // Price 1 disagrees with 10.00 x 1.5 on purpose; the profit of price 1 shown must be
    // the stored price's.
    auto frame = open();
    TLagerServerObj a;
    a.EKPreis = m(10.00);
    a.VKZuschlag = 1.5;
    a.MwStSatz = 1;
    a.VKPreis = {m(12.34), m(0), m(0), m(0), m(0)};
    a.EKProKg = m(4.00);
    a.Gewicht = 3; // would suggest 3.33 per kg if the purchase price were handled
    frame->ShowArticle(&a);
    EXPECT_EQ(text(*frame, u"edVKNetto1"_s), u"12,34"_s);
    EXPECT_EQ(text(*frame, u"edVKNettoGew1"_s), u"2,34"_s);
    EXPECT_EQ(text(*frame, u"edEKkg"_s), u"4,00"_s);
    EXPECT_EQ(text(*frame, u"lbVKkgWert"_s), u"6,00"_s);
    EXPECT_TRUE(scripted.alerts.isEmpty());

    TLagerServerObj stored;
    frame->StoreArticle(stored);
    EXPECT_EQ(stored.VKPreis[0], m(12.34));
    EXPECT_EQ(stored.EKPreis, m(10.00));
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
    scripted.alerts.clear();
    type(child(*frame, u"edEKkg"_s), u"0,50"_s);
    QTest::mouseClick(child<QPushButton>(*frame, u"btCalcGewichtME"_s), Qt::LeftButton);
    EXPECT_EQ(text(*frame, u"edGewicht"_s), u"31,4000"_s);
    EXPECT_EQ(text(*frame, u"edEK"_s), u"15,70"_s);
    EXPECT_EQ(text(*frame, u"edVKNetto1"_s), u"23,55"_s);
    ASSERT_EQ(scripted.alerts.size(), 1);
    EXPECT_EQ(scripted.alerts[0].text, u"Der Einkaufspreis pro Mengeneinheit wurde angepasst."_s);
    EXPECT_EQ(scripted.alerts[0].milliseconds, 3000);
    // 15.7 kg/m²; the purchase price agrees already. The labels and price 3 follow.
    QTest::mouseClick(child<QPushButton>(*frame, u"btCalcGewichtQM"_s), Qt::LeftButton);
    EXPECT_EQ(text(*frame, u"edGewichtQM"_s), u"15,7000"_s);
    EXPECT_EQ(scripted.alerts.size(), 1);
    EXPECT_EQ(text(*frame, u"lbVKqmWert"_s), u"11,78"_s);
    EXPECT_EQ(text(*frame, u"edVKNetto3"_s), u"0,75"_s);

    // Leaving the purchase price adjusts the per-kg price and its labels; no sale price is
    // recomputed, not even price 3 that follows the per-kg price elsewhere.
    scripted.alerts.clear();
    leave(child(*frame, u"edEK"_s), u"31,40"_s);
    EXPECT_EQ(text(*frame, u"edEKkg"_s), u"1,00"_s);
    EXPECT_EQ(text(*frame, u"lbVKkgWert"_s), u"1,50"_s);
    EXPECT_EQ(text(*frame, u"edVKNetto3"_s), u"0,75"_s);
    ASSERT_EQ(scripted.alerts.size(), 1);
    EXPECT_EQ(scripted.alerts[0].text, u"Der Einkaufspreis pro kg wurde angepasst."_s);
}

TEST_F(ArtikelFrameTest, KeptWithoutStockIsNeitherCountedNorSerialised)
{
    auto frame = open();
    TLagerServerObj a;
    a.SNPflicht = true;
    a.Inventurartikel = true;
    frame->ShowArticle(&a);
    TLagerServerObj stored;
    frame->StoreArticle(stored);
    EXPECT_TRUE(stored.SNPflicht && stored.Inventurartikel);

    child<QCheckBox>(*frame, u"cbOhneBestand"_s)->setChecked(true);
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
    auto *shortText = child<QTextEdit>(*frame, u"rv1"_s);
    auto *longText = child<QTextEdit>(*frame, u"rv2"_s);
    // A stored text that is not rich text is shown as it is, "<" included.
    EXPECT_EQ(longText->toPlainText(), u"Messing, PN 25 < 30 bar"_s);
    EXPECT_EQ(shortText->toPlainText(), u"Kugelhahn verchromt"_s);

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
