// Stock set by hand and the serial numbers that come and go with it: the number texts and
// entry checks, the journal, the commands and their dialogs.
#include "movements/serialnumbers.h"
#include "movements/serialviewcommand.h"
#include "movements/stockchangecommand.h"
#include "movements/stockjournal.h"
#include "movements/ui/lsnform1.h"
#include "movements/ui/mod00501form4.h"
#include "movements/ui/mod00501form7.h"
#include "movements/ui/mod00512form2.h"
#include "ordering/customeraddress.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "stock/lagerserverobj.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "tests/movements/movementtests.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

using MovementTests::child;

void pressEnter(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Return);
}

QStringList column(QTableWidget *grid, int c)
{
    QStringList cells;
    for (int row = 0; row < grid->rowCount(); ++row)
        cells.append(grid->item(row, c)->text());
    return cells;
}

TSeriennummerObjectList serials(const QStringList &numbers, const QString &nr = u"SER"_s)
{
    TSeriennummerObjectList list;
    for (const QString &n : numbers) {
        TSeriennummer &s = list.Add();
        s.SN = n;
        s.LagerArtikelNr = nr;
        s.INFO = n.isEmpty() ? QString() : u"Info "_s + n;
    }
    return list;
}

class MovementDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TMOD00501Form4::ForgetPassword();
        article.LagerArtikelNr = u"SER"_s;
        article.Bezeichnung = u"Kessel"_s;
        article.BuchungsBestand = 5;
        article.SNPflicht = true;
        article.LetzteSeriennummer = u"SN0099"_s;
    }

    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    TLagerArtikelDaten article;
    const std::function<bool(const QString &)> check = [](const QString &p) {
        return p == u"geheim"_s;
    };
};

TEST_F(MovementDialogs, StockChangeNeedsThePasswordAndRemembersIt)
{
    TMOD00501Form4 dialog(check);
    dialog.Setup(article);
    dialog.show();
    auto *stock = child<QLineEdit>(dialog, u"edBestand"_s);
    auto *password = child<QLineEdit>(dialog, u"edPasswort"_s);
    auto *ok = child<QPushButton>(dialog, u"btOK"_s);
    EXPECT_EQ(stock->text(), u"5"_s);

    // Enter walks from the stock to the password and on to OK without pressing it
    stock->setText(u"7,5"_s);
    pressEnter(stock);
    EXPECT_EQ(dialog.focusWidget(), password);
    password->setText(u"falsch"_s);
    pressEnter(password);
    EXPECT_EQ(dialog.focusWidget(), ok);
    EXPECT_TRUE(dialog.isVisible());

    ok->click();
    EXPECT_EQ(messageTexts(ui), QStringList{u"Falsches Passwort."_s});
    EXPECT_EQ(dialog.focusWidget(), password);

    stock->setText(u"7.5.1"_s);
    password->setText(u"geheim"_s);
    ok->click();
    EXPECT_EQ(ui.messages.last().text, u"\"7.5.1\" ist keine gueltige Menge."_s);
    EXPECT_TRUE(dialog.isVisible());

    stock->setText(u" 7,5 "_s);
    ok->click();
    double changed = 0;
    ASSERT_TRUE(dialog.Changed(changed));
    EXPECT_EQ(changed, 7.5);

    // the next dialog of the run proposes the password; the unchanged stock is no change
    TMOD00501Form4 next(check);
    next.Setup(article);
    next.show();
    EXPECT_EQ(child<QLineEdit>(next, u"edPasswort"_s)->text(), u"geheim"_s);
    child<QPushButton>(next, u"btOK"_s)->click();
    EXPECT_FALSE(next.Changed(changed));
}

TEST_F(MovementDialogs, EntryInputProposesTheNextNumberRowByRow)
{
    TMOD00501Form7 dialog([] {
        auto address = std::make_unique<TCustomerAddress>();
        address->Id = u"1047"_s;
        return address;
    });
    dialog.Setup(serials({u""_s, u""_s, u""_s}), article, false, {}, u"  "_s);
    dialog.show();
    auto *input = child<QLineEdit>(dialog, u"edEingabe"_s);
    auto *grid = child<QTableWidget>(dialog, u"vstSeriennummern"_s);
    EXPECT_EQ(input->text(), u"SN0100"_s);

    pressEnter(input);
    EXPECT_EQ(input->text(), u"SN0101"_s);
    input->setText(u"  X7 "_s);
    pressEnter(input);
    pressEnter(input); // the proposal after X7
    EXPECT_EQ(column(grid, 0), (QStringList{u"SN0100"_s, u"X7"_s, u"X8"_s}));
    EXPECT_TRUE(input->text().isEmpty());
    EXPECT_EQ(dialog.focusWidget(), child<QPushButton>(dialog, u"btOK"_s));

    grid->item(1, 1)->setText(u"  Kratzer "_s); // edited texts are trimmed
    child<QPushButton>(dialog, u"btLieferant"_s)->click();
    EXPECT_EQ(child<QLineEdit>(dialog, u"edLieferant"_s)->text(), u"1047"_s);
    child<QLineEdit>(dialog, u"edLieferant"_s)->setText(u" 1047_2 "_s);
    child<QPushButton>(dialog, u"btOK"_s)->click();
    TSeriennummerObjectList result;
    QString supplier;
    ASSERT_TRUE(dialog.Finish(result, supplier));
    EXPECT_EQ(
        std::tuple(supplier, result.JoinedText(), result.Item(1).INFO, result.Item(2).LIEFERANT),
        std::tuple(u"1047_2"_s, u"SN0100 X7 X8"_s, u"Kratzer"_s, u"1047_2"_s));
}

// Which entries are refused is the entry check's own table; here only that the dialog asks it
// with its check box and keeps itself open for everything but the back button.
TEST_F(MovementDialogs, EntryChecksEveryClosingButTheBackButton)
{
    for (const bool checkDuplicates : {false, true}) {
        SCOPED_TRACE(checkDuplicates);
        ui.messages.clear();
        TMOD00501Form7 dialog;
        dialog.Setup(serials({u""_s, u""_s}), article, true, {u"S3"_s}, QString());
        dialog.show();
        auto *grid = child<QTableWidget>(dialog, u"vstSeriennummern"_s);
        grid->item(0, 0)->setText(u"S3"_s);
        grid->item(1, 0)->setText(u"A2"_s);
        child<QCheckBox>(dialog, u"cbDoppelt"_s)->setChecked(checkDuplicates);
        child<QPushButton>(dialog, u"btOK"_s)->click();
        TSeriennummerObjectList result;
        QString supplier;
        if (!checkDuplicates) {
            EXPECT_TRUE(ui.messages.isEmpty());
            EXPECT_TRUE(dialog.Finish(result, supplier));
            continue;
        }
        EXPECT_EQ(messageTexts(ui),
                  QStringList{u"Ein Artikel mit der Seriennummer \"S3\" ist bereits "
                              u"im Lager vorhanden."_s});
        dialog.reject(); // Esc and the window's close button are checked as well
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(ui.messages.size(), 2);
        child<QPushButton>(dialog, u"btZurueck"_s)->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.Finish(result, supplier));
    }
}

TEST_F(MovementDialogs, SelectionKeepsTheFocusInTheSearchField)
{
    TMOD00512Form2 dialog;
    dialog.Setup(article, serials({u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s}), 2, true);
    dialog.show();
    auto *search = child<QLineEdit>(dialog, u"edSuche"_s);
    auto *needed = child<QLabel>(dialog, u"lbErforderlich"_s);

    QTest::keyClicks(search, u" S3"_s);
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(dialog.focusWidget(), search);
    pressEnter(search); // S4
    EXPECT_EQ(search->selectedText(), u" S3"_s);

    pressEnter(search); // S4 again
    EXPECT_EQ(messageTexts(ui),
              QStringList{u"Diese Seriennummer ist bereits in der Auswahlliste enthalten."_s});
    child<QPushButton>(dialog, u"btOK"_s)->click();
    EXPECT_EQ(ui.messages.last().text, u"Die Anzahl der ausgewaehlten Seriennummern stimmt "
                                       u"nicht mit der angegebenen Menge ueberein."_s);
    EXPECT_TRUE(dialog.isVisible());

    QTest::keyClick(search, Qt::Key_Up);
    QTest::keyClick(search, Qt::Key_Up);
    pressEnter(search); // S2
    EXPECT_EQ(needed->text(), u"0 weitere Seriennummern erforderlich."_s);
    pressEnter(search); // complete: Enter confirms
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Chosen().JoinedText(), u"S4 S2"_s);
    EXPECT_EQ(dialog.Chosen().Item(1).INFO, u"Info S2"_s);
}

TEST_F(MovementDialogs, SelectionRemovesAndF7ReturnsToTheSearch)
{
    TMOD00512Form2 dialog;
    dialog.Setup(article, serials({u"S1"_s, u"S2"_s}), 1, false);
    dialog.show();
    child<QPushButton>(dialog, u"btHinzufuegen"_s)->click();
    auto *selection = child<QTableWidget>(dialog, u"vstAuswahl"_s);
    ASSERT_EQ(selection->rowCount(), 1);
    selection->setCurrentCell(0, 0);
    child<QPushButton>(dialog, u"btEntfernen"_s)->click();
    EXPECT_EQ(selection->rowCount(), 0);
    EXPECT_EQ(child<QLabel>(dialog, u"lbErforderlich"_s)->text(),
              u"1 weitere Seriennummern erforderlich."_s);
    selection->setFocus();
    QTest::keyClick(&dialog, Qt::Key_F7);
    EXPECT_EQ(dialog.focusWidget(), child<QLineEdit>(dialog, u"edSuche"_s));
}

TEST_F(MovementDialogs, ViewUnlocksTheNumbersWithThePasswordAndPostsEdits)
{
    QStringList answers{u"falsch"_s, u"geheim"_s};
    TLSNForm1 dialog(check, [&](QString &password) {
        password = answers.takeFirst();
        return true;
    });
    QList<std::pair<QString, QString>> posted;
    bool accept = true;
    dialog.Setup(u"SER"_s, u"Kessel"_s, serials({u"S1"_s, u"S2"_s}),
                 [&](const TSeriennummer &before, const TSeriennummer &after) {
                     posted.append({before.SN + u'|' + before.INFO, after.SN + u'|' + after.INFO});
                     return accept;
                 });
    dialog.show();
    auto *grid = child<QTableWidget>(dialog, u"vstSeriennummern"_s);
    EXPECT_FALSE(grid->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(grid->item(0, 1)->flags() & Qt::ItemIsEditable);

    grid->item(1, 1)->setText(u"neu "_s);
    auto *edit = child<QPushButton>(dialog, u"btBearbeiten"_s);
    edit->click();
    EXPECT_FALSE(dialog.SerialNumbersEditable());
    EXPECT_EQ(ui.messages.last().text, u"Falsches Passwort."_s);
    edit->click();
    EXPECT_TRUE(dialog.SerialNumbersEditable());
    EXPECT_TRUE(grid->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_EQ(grid->item(1, 1)->text(), u"neu"_s); // the posted edit survives the unlock

    grid->item(0, 0)->setText(u"S1A"_s);
    accept = false;
    grid->item(1, 0)->setText(u"S1A"_s); // refused by the table: the cell shows S2 again
    EXPECT_EQ(column(grid, 0), (QStringList{u"S1A"_s, u"S2"_s}));
    const QList<std::pair<QString, QString>> expected{{u"S2|Info S2"_s, u"S2|neu"_s},
                                                      {u"S1|Info S1"_s, u"S1A|Info S1"_s},
                                                      {u"S2|neu"_s, u"S1A|neu"_s}};
    EXPECT_EQ(posted, expected);
}

TEST(SerialNumberText, IncrementCountsTheTrailingDigitsAsText)
{
    const struct {
        QString text;
        int width;
        QString expected;
    } cases[] = {
        {u"SN0099"_s, 0, u"SN0100"_s},
        {u"SN999"_s, 0, u"SN1000"_s},
        {u"ABC"_s, 0, u"ABC0001"_s},
        {u"123"_s, 0, u"124"_s},
        {u"A-09"_s, 0, u"A-10"_s},
        // far beyond 64 bits: counted as text, nothing overflows or gets cut
        {u"X99999999999999999999"_s, 0, u"X100000000000000000000"_s},
        {u"K12345678901234567890"_s, 0, u"K12345678901234567891"_s},
        // a given width pads the number, not the zeros of the old run, and never cuts
        {u"SN0099"_s, 6, u"SN000100"_s},
        {u"SN0099"_s, 2, u"SN100"_s},
        {u"ABC"_s, 2, u"ABC01"_s},
        {u""_s, 0, u"0001"_s},
        {u"7-0"_s, 0, u"7-1"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IncSerialNumber(c.text, c.width), c.expected) << qPrintable(c.text);
}

TEST(SerialNumberText, EntryChecksRefuseInTheirOrder)
{
    const auto list = [](std::initializer_list<const char16_t *> numbers) {
        QStringList l;
        for (const char16_t *n : numbers)
            l.append(QString::fromUtf16(n));
        return serials(l);
    };
    const QStringList stock{u"S1"_s, u"S2"_s};
    const struct {
        TSeriennummerObjectList list;
        bool check;
        QString refusal;
    } cases[] = {
        {list({u"A", u"", u"B", u""}), true, u"Es fehlen noch 2 Seriennummern."_s},
        // missing numbers are refused even without the duplicate check
        {list({u"", u"A", u"A"}), false, u"Es fehlen noch 1 Seriennummern."_s},
        {list({u"A", u"S2", u"A", u"A"}), true, u"Die Seriennummer \"A\" ist 3 mal vorhanden."_s},
        // rows are checked in order: the number in stock comes before the later duplicate
        {list({u"S2", u"B", u"B"}), true,
         u"Ein Artikel mit der Seriennummer \"S2\" ist bereits im Lager vorhanden."_s},
        {list({u"A", u"A", u"S1"}), false, QString()},
        {list({u"s1", u"A"}), true, QString()}, // exact comparison, as the table's
    };
    for (const auto &c : cases)
        EXPECT_EQ(SerialEntryRefusal(c.list, stock, c.check), c.refusal)
            << qPrintable(c.list.JoinedText());
}

TEST(StockJournalFile, Windows1252BytesAndAppendedLines)
{
    const struct {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {u"Bär€✓"_s, "B\xE4r\x80?"},
        {u"\u201EZoll\u201C \u2013 \u0160"_s, "\x84Zoll\x93 \x96 \x8A"},
        // one "?" for a character beyond 16 bits, and for the C1 controls Latin-1 would keep
        {u"a\U0001F600b\u0081"_s, "a?b?"},
        {u"\u00FF\u00A0~"_s, "\xFF\xA0~"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(StockJournal::ToWindows1252(c.text), c.bytes) << qPrintable(c.text);

    QTemporaryDir dir;
    const QString file = StockJournal::FileName(dir.path() + u'/');
    ASSERT_TRUE(StockJournal::AppendLineToFile(file, u"eins"_s));
    ASSERT_TRUE(StockJournal::AppendLineToFile(file, u"zwei ä"_s));
    EXPECT_EQ(TestDocuments::fileBytes(file), QByteArray("eins\r\nzwei \xE4\r\n"));
}

const QDateTime kNow(QDate(2026, 12, 6), QTime(9, 41, 30));

// A stock with a plain article, a serial-number article with its five numbers in the table
// and one whose table holds fewer numbers than its stock; the dialogs answered from a script.
class StockChange : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.Open(stockDir);
        addArticle(u"PLAIN"_s, 2, false, {});
        addArticle(u"SER"_s, 5, true, {u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s});
        addArticle(u"FEW"_s, 5, true, {u"F1"_s});
    }

    void addArticle(const QString &nr, double stock, bool serials, const QStringList &numbers)
    {
        TLagerServerObj a;
        a.LagerArtikelNr = nr;
        a.BuchungsBestand = stock;
        a.SummeWareneingangMe = 40;
        a.SNPflicht = serials;
        a.LetzteSeriennummer = numbers.isEmpty() ? QString() : numbers.last();
        ASSERT_EQ(db.WriteArticle(&a), 0);
        for (const QString &n : numbers) {
            TSeriennummer s;
            s.SN = n;
            s.LagerArtikelNr = nr;
            s.INFO = u"alt"_s;
            ASSERT_EQ(db.WriteSerial(&s), 0);
        }
    }

    StockChangeCommand command(const QString &nr)
    {
        StockChangeCommand::Hooks h;
        h.selectedArticleNr = [nr] { return nr; };
        h.updateArticle = [this](const TLagerServerObj &a) { updated.append(a.LagerArtikelNr); };
        h.askNewStock = [this](const TLagerArtikelDaten &, double &stock) {
            stock = newStock;
            return confirm;
        };
        h.enterSerials = [this](TSeriennummerObjectList &list, const TLagerArtikelDaten &,
                                bool showBack, const QStringList &inStock, QString &) {
            EXPECT_TRUE(showBack);
            entryRows = int(list.Count());
            known = inStock;
            for (qsizetype i = 0; i < list.Count() && i < entered.size(); ++i)
                list.Item(i).SN = entered[i];
            return enterOk;
        };
        h.chooseSerials = [this](const TLagerArtikelDaten &, const TSeriennummerObjectList &cand,
                                 int count, bool showCancel, TSeriennummerObjectList &chosen) {
            EXPECT_TRUE(showCancel);
            asked = count;
            candidates = int(cand.Count());
            for (const QString &sn : toChoose)
                chosen.Add(cand.Item(cand.IndexOf(sn)));
            return chooseOk;
        };
        h.clock = [] { return kNow; };
        return StockChangeCommand(db, stockDir, u"anna"_s, u"Anna Berg"_s, std::move(h));
    }

    double stockOf(const QString &nr)
    {
        db.Refresh();
        return db.GetArticleValue(nr, u"BuchungsBestand"_s);
    }
    QStringList serialsOf(const QString &nr) { return MovementTests::serials(db, nr); }
    TSeriennummer serial(const QString &sn)
    {
        TSeriennummer s;
        s.SN = sn;
        s.LagerArtikelNr = u"SER"_s;
        EXPECT_EQ(db.ReadSerial(&s), 0) << qPrintable(sn);
        return s;
    }
    QByteArray journal() const
    {
        QFile f(StockJournal::FileName(stockDir));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir tmp;
    QString stockDir = tmp.path() + u'/';
    IModLagerDBServerObj db;
    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    double newStock = 0;
    bool confirm = true;
    QStringList entered;
    bool enterOk = true;
    QStringList toChoose;
    bool chooseOk = true;
    int entryRows = -1;
    int asked = -1;
    int candidates = -1;
    QStringList known;
    QStringList updated;
};

// One after the other on the same stock: a raise asks for the new numbers only, a lowering
// chooses among all numbers of the article, those just added included.
TEST_F(StockChange, BookingWritesStockSerialsAndTheJournalLine)
{
    newStock = 7;
    entered = {u"A17"_s, u"A18"_s};
    ASSERT_TRUE(command(u"SER"_s).Run());
    EXPECT_EQ(std::tuple(entryRows, asked), std::tuple(2, -1));
    EXPECT_EQ(known, (QStringList{u"S1"_s, u"S2"_s, u"S3"_s, u"S4"_s, u"S5"_s}));
    EXPECT_EQ(serial(u"A18"_s).ZUGANG, DateTime::fromQDateTime(kNow));
    EXPECT_EQ(MovementTests::article(db, u"SER"_s).LetzteSeriennummer, u"A18"_s);

    newStock = 3;
    toChoose = {u"A17"_s, u"S4"_s, u"S2"_s, u"S5"_s};
    ASSERT_TRUE(command(u"SER"_s).Run());
    EXPECT_EQ(std::tuple(asked, candidates), std::tuple(4, 7)); // the numbers just added too
    EXPECT_EQ(serialsOf(u"SER"_s), (QStringList{u"A18"_s, u"S1"_s, u"S3"_s}));
    EXPECT_EQ(journal(),
              "06.12.2026 09:41 anna: Artikel SER von 5 nach 7 - SN: + A17 A18\r\n"
              "06.12.2026 09:41 anna: Artikel SER von 7 nach 3 - SN: - A17 S4 S2 S5\r\n");
    EXPECT_EQ(stockOf(u"SER"_s), 3);
    EXPECT_EQ(db.GetArticleValue(u"SER"_s, u"SummeWareneingangMe"_s), 40); // receipts untouched
    EXPECT_EQ(updated, (QStringList{u"SER"_s, u"SER"_s}));
    EXPECT_FALSE(QFile::exists(stockDir + u"LOCKRECSER.SRW"_s));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(StockChange, DroppedChangesLeaveStockSerialsAndJournalAlone)
{
    const struct {
        const char *name;
        QString nr;
        double to;
        bool confirm, enterOk, chooseOk;
        QString message;
    } cases[] = {
        {"unchanged stock", u"PLAIN"_s, 2, true, true, true, QString()},
        {"dialog cancelled", u"PLAIN"_s, 9, false, true, true, QString()},
        {"fraction for serials", u"SER"_s, 6.5, true, true, true,
         u"Fuer Lagerartikel mit Seriennummern duerfen nur ganzzahlige Zugangsmengen "
         u"angegeben werden."_s},
        {"entry cancelled", u"SER"_s, 6, true, false, true, QString()},
        {"choice cancelled", u"SER"_s, 4, true, true, false, QString()},
        {"too few serial numbers", u"FEW"_s, 3, true, true, true,
         u"Fuer den Lagerartikel \"FEW\" sind nicht ausreichend Seriennummern verfuegbar."_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        newStock = c.to;
        confirm = c.confirm;
        enterOk = c.enterOk;
        chooseOk = c.chooseOk;
        entered = {u"N1"_s};
        toChoose = {u"S3"_s};
        const double before = stockOf(c.nr);
        const QStringList serials = serialsOf(c.nr);
        EXPECT_FALSE(command(c.nr).Run());
        EXPECT_EQ(stockOf(c.nr), before);
        EXPECT_EQ(serialsOf(c.nr), serials);
        EXPECT_EQ(journal(), QByteArray());
        EXPECT_TRUE(updated.isEmpty());
        EXPECT_FALSE(QFile::exists(stockDir + u"LOCKREC"_s + c.nr + u".SRW"_s));
        EXPECT_EQ(messageTexts(ui), c.message.isEmpty() ? QStringList() : QStringList{c.message});
    }
}

TEST_F(StockChange, AnUnwritableJournalKeepsTheChange)
{
    ASSERT_TRUE(QDir(stockDir).mkdir(u"LAGER.NFO"_s)); // a directory cannot be appended to
    newStock = 8;
    EXPECT_TRUE(command(u"PLAIN"_s).Run());
    EXPECT_EQ(stockOf(u"PLAIN"_s), 8);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].text.startsWith(u"LogToFile\r\n"_s))
        << qPrintable(ui.messages[0].text);
}

TEST_F(StockChange, SerialViewAlertsWithoutNumbersAndPostsEdits)
{
    int shown = 0;
    SerialViewCommand::Post post;
    SerialViewCommand view(db, [&](const QString &nr, const QString &description,
                                   const TSeriennummerObjectList &rows,
                                   const SerialViewCommand::Post &p) {
        ++shown;
        EXPECT_EQ(std::tuple(nr, description, rows.Count()), std::tuple(u"SER"_s, u"Kessel"_s, 5));
        post = p;
    });
    EXPECT_FALSE(view.Run(u"PLAIN"_s, QString()));
    EXPECT_EQ(shown, 0);
    ASSERT_TRUE(view.Run(u"SER"_s, u"Kessel"_s));
    ASSERT_TRUE(post);
    const TSeriennummer before = serial(u"S2"_s);
    TSeriennummer after = before;
    after.INFO = u"geprueft"_s;
    EXPECT_TRUE(post(before, after));
    after.SN = u"S2X"_s;
    EXPECT_TRUE(post(before, after));
    EXPECT_EQ(serialsOf(u"SER"_s), (QStringList{u"S1"_s, u"S2X"_s, u"S3"_s, u"S4"_s, u"S5"_s}));
    const TSeriennummer moved = serial(u"S2X"_s);
    EXPECT_EQ(moved.INFO, u"geprueft"_s);

    // a number the article has already, and an empty one, leave both rows as they are
    ui.messages.clear();
    TSeriennummer clash = moved;
    clash.SN = u"S3"_s;
    EXPECT_FALSE(post(moved, clash));
    clash.SN.clear();
    EXPECT_FALSE(post(moved, clash));
    EXPECT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(serialsOf(u"SER"_s), (QStringList{u"S1"_s, u"S2X"_s, u"S3"_s, u"S4"_s, u"S5"_s}));
}

} // namespace
