#include "app/ui/mod00501form2.h"
#include "stock/lagerserverobj.h"
#include "stock/ui/lagerartikelframe1.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/scriptedinteraction.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{

class ArticleWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        settings.VATNormal = 19;
        settings.VATReduced = 7;
        context.settings = &settings;
        context.stockDir = dir.path() + u'/';
        context.userFullName = u"Meier"_s;
    }

    // Shown without a modal loop, so that the test can press its buttons.
    std::unique_ptr<TMOD00501Form2> open(TLagerServerObj &record, bool existing,
                                         const QString &settingsFile = {})
    {
        auto w = std::make_unique<TMOD00501Form2>(context, settingsFile);
        w->ShowArticle(record, existing);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }
    static QWidget *child(QWidget *w, const char *name)
    {
        return w->findChild<QWidget *>(QString::fromLatin1(name));
    }
    static void clickOK(QWidget *w) { static_cast<QPushButton *>(child(w, "btOK"))->click(); }

    ScriptedInteraction ui;
    ScopedInteraction scope{&ui};
    QTemporaryDir dir;
    TSystemEinstellungen settings;
    TLagerArtikelEditContext context;
};

} // namespace

TEST_F(ArticleWindowTest, OkNeedsANumberWhichOnlyANewArticleMayChange)
{
    TLagerServerObj a;
    a.LagerArtikelNr = u"4711"_s;
    a.MwStSatz = 1;
    auto w = open(a, true);
    auto *number = static_cast<QLineEdit *>(child(w.get(), "edArtikelnummer"));
    EXPECT_EQ(number->text(), u"4711"_s);
    EXPECT_TRUE(number->isReadOnly());

    TLagerServerObj fresh;
    fresh.MwStSatz = 1;
    w->ShowArticle(fresh, false);
    EXPECT_FALSE(number->isReadOnly());
    number->setText(u"   "_s);
    child(w.get(), "edBezeichnung")->setFocus();
    clickOK(w.get());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, u"Sie muessen eine Artikelnummer eingeben."_s);
    EXPECT_TRUE(w->isVisible() && QApplication::focusWidget() == number);

    // Cancel closes without asking anything
    static_cast<QPushButton *>(child(w.get(), "btCancel"))->click();
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(w->result(), QDialog::Rejected);
}

TEST_F(ArticleWindowTest, NoVatClassAsksAndNoReturnsToThePrices)
{
    TLagerServerObj a;
    a.LagerArtikelNr = u"4711"_s;
    a.MwStSatz = 0;
    auto w = open(a, false);
    auto *pages = w->Frame()->Pages();
    pages->setCurrentWidget(child(w.get(), "tsSonstiges"));
    child(w.get(), "edBezeichnung")->setFocus();

    ui.answers = {ModalResult::No};
    clickOK(w.get());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text,
              u"Moechten Sie den Artikel wirklich ohne Mehrwertsteuersatz speichern?"_s);
    EXPECT_TRUE(w->isVisible() && QApplication::focusWidget() == child(w.get(), "cbMwStSatz"));
    EXPECT_EQ(pages->currentWidget()->objectName(), u"tsPreise"_s);

    ui.answers = {ModalResult::Yes};
    clickOK(w.get());
    EXPECT_EQ(w->result(), QDialog::Accepted);
}

// The article window of a field edit opens with the focus where the edit is meant to go.
TEST_F(ArticleWindowTest, FastEditPutsTheFocusWhereTheEditIsMeantToGo)
{
    TMOD00501Form2 w(context, QString());

    // The focused field and, where it lies on a page of its own, that page.
    const auto focusFor = [&](int mode) {
        w.Frame()->Pages()->setCurrentIndex(1);
        TLagerServerObj a;
        a.LagerArtikelNr = u"A1"_s;
        a.InitPeriods(QString()); // the whole year: the order quantity can be typed
        QString seen;
        QTimer::singleShot(0, &w, [&] {
            const QWidget *f = w.focusWidget();
            const QString page = w.Frame()->Pages()->currentWidget()->objectName();
            seen = (f ? f->objectName() : u"none"_s) + (mode >= 2 ? u'@' + page : QString());
            w.reject();
        });
        w.Edit(a, true, mode);
        return seen;
    };
    const std::pair<int, QString> cases[] = {
        {0, u"edBezeichnung"_s},       {1, u"edBestellmenge"_s},      {2, u"edEK@tsPreise"_s},
        {3, u"edVKNetto1@tsPreise"_s}, {7, u"edVKNetto5@tsPreise"_s},
    };
    for (const auto &[mode, expected] : cases)
        EXPECT_EQ(focusFor(mode), expected) << mode;
    // Net prices locked: the gross field of the price takes the value.
    w.findChild<QCheckBox *>(u"cbNettoEnabled"_s)->setChecked(false);
    EXPECT_EQ(focusFor(4), u"edVKBrutto2@tsPreise"_s);
}
