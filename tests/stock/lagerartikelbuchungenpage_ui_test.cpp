#include "stock/lagerserverobj.h"
#include "stock/ui/lagerartikelbuchungenpage.h"
#include "stock/ui/lagerartikelframe1.h"

#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

// The tab "Buchungen" shows what the store reads for the shown article, newest first, and
// forgets it when the frame is cleared.
TEST(ArticleBookingsTab, ShowsTheArticlesHistoryNewestFirst)
{
    QTemporaryDir dir;
    TLagerArtikelEditContext context;
    context.stockDir = dir.path() + u'/';
    QStringList asked;
    context.bookings = [&asked](const QString &nr) {
        asked.append(nr);
        TLagerBuchung opening = TLagerBuchung::Change(TLagerBuchung::Opening, nr, 0, 2, 46000, {});
        TLagerBuchung receipt =
            TLagerBuchung::Change(TLagerBuchung::Receipt, nr, 2, 5.5, 46001.5, u"LAGER"_s);
        receipt.Preis = Money::fromDouble(12.5);
        receipt.BestellNr = u"B-7"_s;
        receipt.BestellPos = 3;
        return TLagerBuchungList{opening, receipt};
    };
    TLagerArtikelFrame1 frame(context);
    TLagerServerObj article;
    article.LagerArtikelNr = u"A1"_s;
    frame.ShowArticle(&article);
    EXPECT_EQ(asked, QStringList{u"A1"_s});

    auto *page = frame.findChild<TLagerArtikelBuchungenPage *>();
    ASSERT_NE(page, nullptr);
    QTreeWidget *grid = page->Grid();
    ASSERT_EQ(grid->topLevelItemCount(), 2);
    const QTreeWidgetItem *newest = grid->topLevelItem(0);
    EXPECT_EQ(newest->text(2), u"Warenzugang"_s);
    EXPECT_EQ(newest->text(3), u"3,500"_s);
    EXPECT_EQ(newest->text(4), u"2,000"_s);
    EXPECT_EQ(newest->text(6), u"12,50"_s);
    EXPECT_EQ(newest->text(7), u"B-7 / 3"_s);
    EXPECT_EQ(grid->topLevelItem(1)->text(2), u"Anfangsbestand"_s);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

    frame.Clear();
    EXPECT_EQ(grid->topLevelItemCount(), 0);
}

} // namespace
