#include "persistence/datetime.h"
#include "stock/ui/lagerartikelzusatzdatenpage.h"
#include "tests/stock/stocktest.h"

#include <QDateEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeEdit>

namespace
{
TDsnElement element(const QString &name, quint8 kind)
{
    TDsnElement e;
    e.Name = name;
    e.Kind = kind;
    return e;
}

TDsnElementList sample()
{
    TDsnElementList list;
    list.Add(element(u"Farbe"_s, TDsnElement::Text)).TextValue = u"RAL 9010"_s;
    list.Add(element(u"Stueck"_s, TDsnElement::Integer)).IntValue = -12;
    list.Add(element(u"Geprueft"_s, TDsnElement::Boolean)).BoolValue = true;
    // Stored values that the editors cannot show exactly must survive an untouched page.
    list.Add(element(u"Ablauf"_s, TDsnElement::Date)).FloatValue =
        DateTime::fromQDate(QDate(2027, 2, 28)) + 0.123456789;
    list.Add(element(u"Anlieferung"_s, TDsnElement::Time)).FloatValue = 0.3333333333;
    list.Add(element(u"Termin"_s, TDsnElement::DateAndTime)).FloatValue = 46000.5000001;
    list.Add(element(u"Neu"_s, 9)).TextValue = u"kept"_s;
    return list;
}

struct ExtraValues : ::testing::Test {
    TLagerArtikelEditContext context;
    TLagerArtikelZusatzdatenPage page{context};
    TLagerServerObj article;

    template <typename W> W *editor(int row) const
    {
        return qobject_cast<W *>(page.stage()->cellWidget(row, 2));
    }
};
} // namespace

TEST_F(ExtraValues, UntouchedValuesComeBackExactlyEditedOnesByKind)
{
    article.Zusatzdaten = sample();
    page.ShowArticle(&article);
    ASSERT_EQ(page.stage()->rowCount(), 7);
    TLagerServerObj stored;
    page.StoreArticle(stored);
    EXPECT_TRUE(stored.Zusatzdaten == sample());

    // Edited values are stored by kind.
    editor<QLineEdit>(0)->setText(u"RAL 7016"_s);
    editor<QSpinBox>(1)->setValue(40);
    editor<QCheckBox>(2)->setChecked(false);
    editor<QDateEdit>(3)->setDate(QDate(2028, 2, 29));
    editor<QTimeEdit>(4)->setTime(QTime(18, 0));
    EXPECT_EQ(page.stage()->cellWidget(6, 2), nullptr) << "an unknown kind is not editable";

    page.StoreArticle(article);
    const TDsnElementList &v = article.Zusatzdaten;
    EXPECT_EQ(v.Item(0).TextValue, u"RAL 7016"_s);
    EXPECT_EQ(v.Item(1).IntValue, 40);
    EXPECT_FALSE(v.Item(2).BoolValue);
    EXPECT_EQ(DateTime::toQDate(v.Item(3).FloatValue), QDate(2028, 2, 29));
    EXPECT_DOUBLE_EQ(v.Item(4).FloatValue, 0.75);
    EXPECT_EQ(v.Item(5), sample().Item(5));
    EXPECT_EQ(v.Item(6), sample().Item(6));

    // Cleared, the page stores an empty list.
    page.Clear();
    page.StoreArticle(article);
    EXPECT_TRUE(article.Zusatzdaten.IsEmpty());
}
