#include "app/ui/mod00501form2.h"
#include "stock/lagerserverobj.h"
#include "stock/ui/lagerartikelframe1.h"
#include "suite/systemeinstellungen.h"
#include "tests/support/scriptedinteraction.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
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
