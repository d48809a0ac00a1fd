// The label print: which article lands on which position of which sheet, what the variables
// hold, and what the user is told when a layout or a barcode value is unusable.
#include "printing/etikettendrucker.h"
#include "printing/etiketthelperlager.h"
#include "printing/printetikettmanager.h"
#include "stock/lagerserverobj.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/labelgenerator.h"

#include <QPageSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
const QString kSheet = u"A4 3 x 8 Regaletiketten 70 x 37 mm"_s;
const QString kRoll = u"Rolle Preisetiketten 57 x 32 mm"_s;

// The demo installation's label file, as the generator writes it.
class LabelFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QString error;
        ASSERT_TRUE(GenerateLabelFile(dir.path(), &error)) << error.toStdString();
        labels.LoadFromFile(TPrintEtikettManager::FileNameIn(dir.path()));
        ASSERT_FALSE(labels.HasError()) << labels.ErrorText().toStdString();
        ASSERT_NE(labels.FindForm(kSheet), nullptr);
    }

    std::vector<TLagerArtikelDaten> articles(int count) const
    {
        std::vector<TLagerArtikelDaten> list(size_t(count), TLagerArtikelDaten{});
        for (int i = 0; i < count; ++i) {
            list[size_t(i)].LagerArtikelNr = u"A-%1"_s.arg(i + 1);
            list[size_t(i)].EAN = u"4006381333931"_s;
        }
        return list;
    }

    static TEtikettHelperLager::Settings settings(bool gross)
    {
        TEtikettHelperLager::Settings s;
        s.salePriceIsGross = gross;
        s.vatRate = [](int vatClass) { return vatClass == 1 ? 19.0 : 7.0; };
        s.formatMoney = [](Money m) { return TSystemEinstellungen::instance().FormatMoney(m); };
        s.homeCurrencyShort = u"EUR"_s;
        return s;
    }

    QTemporaryDir dir;
    TPrintEtikettManager labels;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
};

// Where each label went: page (1-based), position left/top and the article's number.
struct Placed {
    int page;
    int left, top;
    QString nr;
    bool operator==(const Placed &) const = default;
};

} // namespace

TEST_F(LabelFile, FirstSheetFillsActivePositionsLaterSheetsStartAtTheFirst)
{
    TPrintEtikettForm &form = *labels.FindForm(kSheet);
    ASSERT_EQ(form.Holders.size(), 24u);
    for (int i = 0; i < 10; ++i)
        form.Holders[size_t(i)].Active = false;
    const auto list = articles(20);
    const TEtikettHelperLager helper(settings(false));
    const auto fill = helper.Callback(list);
    TEtikettendrucker printer;
    std::vector<Placed> placed;
    const auto result = printer.Print(labels, form, 20, [&](TPrintEtikett &etikett, int index) {
        const int left = fill(etikett, index);
        if (left >= 0)
            placed.push_back({printer.PageCount(), etikett.Left, etikett.Top,
                              list[size_t(index)].LagerArtikelNr});
        return left;
    });
    EXPECT_EQ(result.labels, 20);
    EXPECT_EQ(printer.PageCount(), 2);
    ASSERT_EQ(placed.size(), 20u);
    EXPECT_EQ(std::count_if(placed.begin(), placed.end(), [](auto &p) { return p.page == 1; }), 14);
    EXPECT_EQ(placed[0], (Placed{1, form.Holders[10].Left, form.Holders[10].Top, u"A-1"_s}));
    EXPECT_EQ(placed[14], (Placed{2, form.Holders[0].Left, form.Holders[0].Top, u"A-15"_s}));
    EXPECT_EQ(placed[19], (Placed{2, form.Holders[5].Left, form.Holders[5].Top, u"A-20"_s}));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(LabelFile, SheetSizeFollowsTheLayoutType)
{
    const struct {
        int type;
        bool portrait;
        QSizeF millimetres; // as the page lies
    } cases[] = {
        {0, true, {210, 297}},  // width and height of a type 0 layout say nothing
        {2, false, {297, 210}}, // any type but 1 is A4
        {1, true, {57, 32}},
        {1, false, {32, 57}},
    };
    for (const auto &c : cases) {
        TPrintEtikettForm form;
        form.Type = c.type;
        form.Portrait = c.portrait;
        form.Width = 570;
        form.Height = 320;
        TEtikettendrucker printer;
        printer.SetSheet(form);
        EXPECT_EQ(printer.PageLayout().fullRect(QPageLayout::Millimeter).size(), c.millimetres)
            << c.type << " " << c.portrait;
    }
}

TEST_F(LabelFile, ALayoutThatPrintsNothingStopsWithTheMessage)
{
    TPrintEtikettForm &form = *labels.FindForm(kSheet);
    for (TPrintEtikettHolder &h : form.Holders)
        h.Name = u"Geloeschtes Etikett"_s;
    TEtikettendrucker printer;
    const auto result =
        printer.Print(labels, form, 3, TEtikettHelperLager(settings(false)).Callback(articles(3)));
    EXPECT_TRUE(result.nothingPrinted);
    EXPECT_EQ(result.labels, 0);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Es wurden keine Etiketten ausgegeben.\nPruefen Sie bitte "
                                   u"das Formular im Etikettendesigner!"_s);
}

TEST_F(LabelFile, ARefusedBarcodeIsLeftOutAndReportedOncePerPrint)
{
    auto list = articles(5);
    for (auto &a : list)
        a.EAN = u"40063813339X1"_s;
    list[2].EAN = u"123"_s; // a second, different fault
    TEtikettendrucker printer;
    const auto result = printer.Print(labels, *labels.FindForm(kSheet), 5,
                                      TEtikettHelperLager(settings(false)).Callback(list));
    EXPECT_EQ(result.labels, 5);
    EXPECT_EQ(result.barcodeErrors,
              (QStringList{u"Barcode muss numerisch sein."_s, u"EAN13: Falscher Barcodetyp"_s}));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, result.barcodeErrors.join(u'\n'));
}

TEST_F(LabelFile, VariablesTakeNetAndGrossFromTheSetting)
{
    TLagerArtikelDaten a;
    a.LagerArtikelNr = u"4711"_s;
    a.MwStSatz = 1;
    a.VKPreis = {Money::fromUnits(119), Money::fromUnits(10), Money(), Money(), Money()};
    a.KatRefs.Add(u"LIEF1"_s, u"KH-12"_s);
    a.KatRefs.Add(u"LIEF2"_s, u"X"_s);
    const struct {
        bool gross;
        int variable;
        QString value;
    } cases[] = {
        // clang-format off
        {true, 1001021, u"100,00"_s},  {true, 1001200, u"119,00"_s},  {true, 1001205, u"19,00"_s},
        {false, 1001021, u"119,00"_s}, {false, 1001200, u"141,61"_s}, {false, 1001205, u"22,61"_s},
        {true, 1001022, u"8,40"_s},    {true, 1001201, u"10,00"_s},   {true, 1001025, u"0,00"_s},
        {true, 1001016, u"19 %"_s},    {true, 1001301, u"KH-12"_s},   {true, 1012006, u"EUR"_s},
        {true, 1, u"Feldname"_s},      {true, 0, u""_s},              {true, 1001026, u""_s},
        {true, 1001000, u"4711"_s},    {true, 1001001, u""_s},
        // clang-format on
    };
    for (const auto &c : cases)
        EXPECT_EQ(TEtikettHelperLager(settings(c.gross)).Value(c.variable, a, u"Feldname"_s),
                  c.value)
            << c.gross << " " << c.variable;
    EXPECT_EQ(TEtikettHelperLager::VariableNumber(u"Preis"_s), 0);
    EXPECT_EQ(TEtikettHelperLager::VariableNumber(u" 1001000 "_s), 1001000);
}
