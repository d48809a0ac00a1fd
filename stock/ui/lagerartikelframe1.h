#pragma once

#include "stock/artikelpreisrechner.h"
#include "stock/lagerconfig.h"
#include "stock/ui/lagerartikeleditcontext.h"

#include <QFrame>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QWidget;
class TLagerServerObj;
class TMindestbestandBox;
class TLagerArtikelLieferantenPage;
class TLagerArtikelBilderPage;
class TLagerArtikelZusatzdatenPage;

// Edits one stock article: head data, stock and minimum-stock periods, the three texts and
// the tab pages. The record stays the caller's; the frame copies its fields in on
// ShowArticle and back on StoreArticle. Price arithmetic lives in TArtikelPreisRechner:
// the frame only copies the fields into it and shows its results.
//
// Every control carries its component name as object name (edArtikelnummer, cbMwStSatz,
// edVKNetto1 ...); the tab pages are tsPreise, tsZusatzdaten, tsLieferanten, tsInventur,
// tsEinheiten, tsBilder and tsSonstiges.
class TLagerArtikelFrame1 : public QFrame
{
    Q_OBJECT
public:
    explicit TLagerArtikelFrame1(const TLagerArtikelEditContext &context,
                                 QWidget *parent = nullptr);
    ~TLagerArtikelFrame1() override;

    void ShowArticle(TLagerServerObj *article);
    void StoreArticle(TLagerServerObj &article);
    void Clear();
    void SetArticleNumberReadOnly(bool readOnly);

    // What the article window checks before it accepts.
    QString ArticleNumberText() const; // trimmed
    bool HasVatClass() const;          // false when the first entry (no class) is chosen
    void FocusArticleNumber();
    void FocusVatClass(); // shows "Preise" first

    QTabWidget *Pages() const { return m_pages; }

private:
    void buildHead(QWidget *box);
    QWidget *buildTexts();
    QWidget *buildPrices();
    QWidget *buildInventur();
    QWidget *buildUnits();
    QWidget *buildOther();
    void fillCombos();
    void connectHandlers();

    // Field values <-> calculator.
    void pricesToCalc();
    void calcToPrices();
    void unitsToCalc();
    void calcToUnits();
    void showNotice(const char *msgid);
    bool guarded() const { return !m_guard; }
    double vatRateOf(int vatClass) const;
    bool fourDecimals() const;

    void onFactorEdited();
    void onVatClassChosen();
    void onNetLeft(int n);
    void onGrossLeft(int n);
    void onProfitLeft(int n);
    void onPurchasePriceLeft();
    void onPurchasePerKgLeft();
    void onUnitButton(int which);
    void onWeightEdited();
    void onNetEnabled(bool on);
    void onGrossEnabled(bool on);
    void onChooseColor();
    void onShortToLongText();
    void setPanelColor(unsigned color);
    void clearFields();

    TLagerArtikelEditContext m_context;
    TLagerConfig m_config;
    TArtikelPreisRechner m_calc;
    TLagerServerObj *m_article = nullptr;
    // Off while fields are filled or cleared, so that change handlers do nothing.
    bool m_guard = true;
    unsigned m_color = 0;

    QTabWidget *m_pages = nullptr;
    // head
    QLineEdit *edArtikelnummer = nullptr, *edKatalog = nullptr, *edBezeichnung = nullptr,
              *edEAN = nullptr;
    QComboBox *cbME = nullptr, *cbLagerort = nullptr, *cbArtikelgruppe = nullptr;
    QCheckBox *ckbSNPflicht = nullptr, *cbOhneBestand = nullptr;
    // stock
    QLineEdit *edBestand = nullptr;
    TMindestbestandBox *m_periods = nullptr;
    // texts
    QTextEdit *rv1 = nullptr, *rv2 = nullptr, *rv3 = nullptr;
    QPushButton *btKTToLT = nullptr;
    // prices
    QLineEdit *edEK = nullptr, *edVKZuschlag = nullptr, *edPreiseinheit = nullptr;
    QComboBox *cbMwStSatz = nullptr, *cbRabattgruppe = nullptr;
    QCheckBox *ckbDurchschnittspb = nullptr, *cbNettoEnabled = nullptr, *cbBruttoEnabled = nullptr;
    std::array<QLineEdit *, 5> edVKNetto{}, edVKMwst{}, edVKBrutto{}, edVKNettoGew{};
    // pages of the others
    TLagerArtikelZusatzdatenPage *m_extraPage = nullptr;
    TLagerArtikelLieferantenPage *m_supplierPage = nullptr;
    TLagerArtikelBilderPage *m_picturePage = nullptr;
    // stock-taking
    QCheckBox *ckbInventurartikel = nullptr;
    QLineEdit *edSummeWareneingang = nullptr, *edAnfangsbestand = nullptr,
              *edInvErfassung = nullptr, *edInvDifferenz = nullptr;
    // units
    QLineEdit *edGewicht = nullptr, *edGewichtQM = nullptr, *edOberfl = nullptr,
              *edLaenge = nullptr, *edBreite = nullptr, *edDicke = nullptr, *edDichte = nullptr,
              *edVol = nullptr, *edVerpackungsmenge = nullptr, *edArbeitszeit = nullptr,
              *edLohn = nullptr, *edEKkg = nullptr;
    QComboBox *cbVerpackungsME = nullptr;
    QLabel *lbEKkgWert = nullptr, *lbVKkgWert = nullptr, *lbEKqmWert = nullptr,
           *lbVKqmWert = nullptr;
    QPushButton *btCalcGewichtME = nullptr, *btCalcGewichtQM = nullptr, *btCalcOberfl = nullptr,
                *btCalcVol = nullptr;
    // other
    QCheckBox *cbUseColor = nullptr, *ckbORab = nullptr, *ckbOProv = nullptr,
              *cbNoAutoPreisflege = nullptr, *ckbEKSp = nullptr, *ckbVKSp = nullptr;
    QLabel *pnColor = nullptr;
    QPushButton *btColor = nullptr;
};
