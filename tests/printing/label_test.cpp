// The label print: which article lands on which position of which sheet, what the variables
// hold, and what the user is told when a layout or a barcode value is unusable. Then
// LABELS_STOCK.XML as the label designer writes it, what a damaged one becomes, the drawing,
// and the label window.
#include "base/inifile.h"
#include "printing/etikettendrucker.h"
#include "printing/etiketthelperlager.h"
#include "printing/etikettpainter.h"
#include "printing/printetikettmanager.h"
#include "printing/ui/mod00317frame1.h"
#include "printing/ui/mod00317selectframe.h"
#include "printing/ui/mod00501form9.h"
#include "stock/lagerserverobj.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"
#include "tools/suitegen/labelgenerator.h"

#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QPageSize>
#include <QPainter>
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

TEST_F(LabelFile, AnEmptyLayoutStopsARefusedBarcodeIsLeftOutBothAreTold)
{
    TPrintEtikettForm form = *labels.FindForm(kSheet); // a copy: the file stays usable
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

    // A refused barcode is left off its label; each fault is told once per print.
    auto list = articles(5);
    for (auto &a : list)
        a.EAN = u"40063813339X1"_s;
    list[2].EAN = u"123"_s; // a second, different fault
    ui.messages.clear();
    const auto refused = TEtikettendrucker().Print(
        labels, *labels.FindForm(kSheet), 5, TEtikettHelperLager(settings(false)).Callback(list));
    EXPECT_EQ(refused.labels, 5);
    EXPECT_EQ(refused.barcodeErrors,
              (QStringList{u"Barcode muss numerisch sein."_s, u"EAN13: Falscher Barcodetyp"_s}));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, refused.barcodeErrors.join(u'\n'));
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

namespace
{
// One sheet, one label, every kind of element with values away from the defaults.
QString golden()
{
    return QString::fromUtf8(TestDocuments::golden("printing", "labels_stock.xml"))
        .replace(u"\n"_s, u"\r\n"_s);
}

void load(TPrintEtikettManager &m)
{
    ASSERT_TRUE(m.LoadFromXMLText(golden()));
}

// The label drawn at 254 dpi onto an image of the colour.
QImage drawn(const TPrintEtikett &e, QSize size, QColor background)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    QStringList errors;
    {
        QPainter p(&image);
        TEtikettPainter(p, 254).Draw(e, errors);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    return image;
}
} // namespace

TEST(LabelFileFormat, WritesTheDesignersFormatAndReadsItBack)
{
    // Every value in the file is away from its default: one the reader drops or the writer
    // leaves out shows in the comparison.
    TPrintEtikettManager read;
    load(read);
    EXPECT_EQ(read.GetXMLText(true), QChar(QChar::ByteOrderMark) + golden());
    // Designs are found by name whatever the case; holders resolve once.
    TPrintEtikettHolder &holder = read.Forms[0]->Holders[0];
    holder.Name = u"PREIS"_s;
    EXPECT_EQ(read.Resolve(holder), read.Etiketten[0].get());
    holder.Name = u"weg"_s;
    EXPECT_EQ(read.Resolve(holder), read.Etiketten[0].get());
}

TEST(LabelFileFormat, DamagedValuesAreCutToWhatASheetHolds)
{
    TPrintEtikettManager m;
    load(m); // a load replaces what was there
    m.LoadFromXMLText(
        u"<etiketten><etikettref name=\"lost\" left=\"1\" top=\"1\"/>"
        u"<formularlist><formular name=\"F\" type=\"999\" width=\"-5\" height=\"9999999\">"
        u"<etikettref name=\"E\" left=\"-2000000\" top=\"abc\"/></formular></formularlist>"
        u"<etikettlist><etikett name=\"E\" width=\"99999999\" height=\"10\">"
        u"<etikettvar name=\"v\" fsize=\"0\" vartype=\"300\" color=\"-1\"/>"
        u"<etikettobj name=\"o\" linewidth=\"100000\"/><unknown/>"
        u"</etikett></etikettlist></etiketten>"_s);
    // The stray holder outside any sheet and the unknown element are gone.
    TestDocuments::expectGoldenText("printing", "labels_damaged.xml", m.GetXMLText(true).mid(1));
}

TEST(LabelDrawing, BorderFillAndElementsLandInTheirPixels)
{
    for (const bool border : {true, false}) {
        TPrintEtikettManager m;
        load(m);
        TPrintEtikett &e = *m.Etiketten[0];
        e.WithBorder = border;
        e.Left = 100; // 10 mm on the sheet: 100 pixels at 254 dpi
        e.Top = 50;
        static_cast<TPrintEtikettElementBarcode &>(*e.Elements[2]).Value = u"4006381333931"_s;
        const QImage image = drawn(e, {800, 500}, Qt::blue);
        EXPECT_EQ(image.pixelColor(90, 40), QColor(Qt::blue)); // outside stays untouched
        EXPECT_EQ(image.pixelColor(100, 360), border ? QColor(Qt::black) : QColor(Qt::lightGray));
        EXPECT_EQ(image.pixelColor(300, 330), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(300, 55), QColor(0xC0, 0xC0, 0xC0)); // the filled rectangle
        // EAN-13 starts with its guard bar at the element's left, one 2-pixel module wide.
        EXPECT_EQ(image.pixelColor(101, 250), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(102, 250), QColor(Qt::white));
    }
}

TEST(LabelDrawing, FormattedTextTakesTheElementsAlignmentOnlyWithOrtp)
{
    struct Case {
        bool ortp;
        bool inkLeft, inkRight;
    };
    for (const Case c : {Case{false, true, false}, Case{true, false, true}}) {
        TPrintEtikettManager m;
        load(m);
        TPrintEtikett &e = *m.Etiketten[0];
        auto &v = static_cast<TPrintEtikettElementVariable &>(*e.Elements[0]);
        v.Ortp = c.ortp; // the element itself is right-aligned
        v.FontName = u"DejaVu Sans"_s;
        v.Value = u"<p align=\"left\">WW</p>"_s;
        const QImage image = drawn(e, {600, 400}, Qt::white);
        // The element spans x 5..205; ink in its outer fifths tells the alignment.
        auto ink = [&](int from, int to) {
            for (int x = from; x < to; ++x)
                for (int y = 14; y < 56; ++y)
                    if (image.pixelColor(x, y) != QColor(Qt::white))
                        return true;
            return false;
        };
        EXPECT_EQ(ink(6, 45), c.inkLeft) << c.ortp;
        EXPECT_EQ(ink(165, 204), c.inkRight) << c.ortp;
    }
}

// The label window as a user goes through it: collect articles, choose the sheet and its free
// positions, preview, print; and what it remembers for the next time.
namespace
{

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
