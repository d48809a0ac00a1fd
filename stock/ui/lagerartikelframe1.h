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
class TSystemEinstellungen;
class TMindestbestandBox;
class TLagerArtikelLieferantenPage;
class TLagerArtikelBilderPage;
class TLagerArtikelZusatzdatenPage;
class TLagerArtikelBuchungenPage;

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
    // The field a fast edit changes: 0 description, 1 order quantity, 2 purchase price, 3..7
    // the net field of sale price 1..5 while net prices can be edited, else its gross field.
    // Modes 2..7 show "Preise" first; other numbers change nothing.
    void FocusField(int mode);
    // Reads CONFIG.XML again after its lists were edited and refills the storage-place,
    // group and discount-group boxes; what the shown article has stays chosen.
    void ReloadConfig();
    // False, with the message shown and the field focused, when a money field holds a text
    // that is no amount the money type can keep (beyond about ±922 trillion).
    bool CheckMoneyFields();

    QTabWidget *Pages() const { return m_pages; }

private:
    QWidget *buildHead();
    QWidget *buildStock();
    QWidget *buildTexts();
    QWidget *buildPrices();
    QWidget *buildExtraData();
    QWidget *buildSuppliers();
    QWidget *buildPictures();
    QWidget *buildInventur();
    QWidget *buildUnits();
    QWidget *buildOther();
    void fillCombos();
    void clearFields();
    // True for widgets of the pages that keep their own state (periods, suppliers ...).
    bool keepsOwnState(const QWidget *w) const;

    const TSystemEinstellungen &settings() const;
    QString moneyText(Money amount) const;
    double vatRate() const;

    // Field values <-> calculator. The factor is left out while the user types it.
    void pricesToCalc();
    void calcToPrices(bool withFactor = true);
    void unitsToCalc();
    void calcToUnits();
    void showPerKgLabels();
    void showNotice(const char *msgid);
    // The first money field whose text does not convert; the calculator leaves prices alone
    // while there is one, rather than take it as 0.
    QLineEdit *badMoneyField() const;

    void onFactorTyped();
    void onVatClassChosen();
    void onNetLeft(int n);
    void onGrossLeft(int n);
    void onProfitLeft(int n);
    void onPurchasePriceLeft();
    void onPurchasePerKgLeft();
    void onWeightLeft();
    void onUnitButton(QPushButton *button);
    void onChooseColor();
    void onShortToLongText();
    void setPanelColor(unsigned color);

    TLagerArtikelEditContext m_context;
    TLagerConfig m_config;
    TArtikelPreisRechner m_calc;
    TLagerServerObj *m_article = nullptr;
    // Off while fields are filled or cleared, so that change handlers do nothing.
    bool m_guard = true;
    unsigned m_color = 0; // 0x00BBGGRR
    // The texts as the record held them: a view the user did not touch stores them unchanged.
    std::array<QString, 3> m_shownTexts;

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
    TLagerArtikelBuchungenPage *m_bookingPage = nullptr;
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
    QLabel *lbVKkgWert = nullptr, *lbEKqmWert = nullptr, *lbVKqmWert = nullptr;
    QPushButton *btCalcGewichtME = nullptr, *btCalcGewichtQM = nullptr, *btCalcOberfl = nullptr,
                *btCalcVol = nullptr;
    // other
    QCheckBox *cbUseColor = nullptr, *ckbORab = nullptr, *ckbOProv = nullptr,
              *cbNoAutoPreisflege = nullptr, *ckbEKSp = nullptr, *ckbVKSp = nullptr;
    QLabel *pnColor = nullptr;
    QPushButton *btColor = nullptr;
};
