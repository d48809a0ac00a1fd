#include "stock/ui/lagerartikelframe1.h"

#include "base/formatsettings.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "base/ui/windowstyle.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"
#include "stock/ui/lagerartikelbilderpage.h"
#include "stock/ui/lagerartikelbuchungenpage.h"
#include "stock/ui/lagerartikellieferantenpage.h"
#include "stock/ui/lagerartikelzusatzdatenpage.h"
#include "stock/ui/mindestbestandbox.h"
#include "suite/systemeinstellungen.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace
{
TArtikelPreisRechner::Settings calcSettings(const TSystemEinstellungen &settings,
                                            const TLagerConfig &config)
{
    TArtikelPreisRechner::Settings s;
    s.salePriceIsGross = settings.SalePriceIsGross;
    s.fourDecimals = settings.FullCurrency;
    s.perKgToSalePrice = config.VKPEurKgToVKP;
    return s;
}

QString fixedText(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    text.replace(u'.', FormatSettings::current().decimalSeparator);
    return text;
}

double numberOf(const QLineEdit *edit)
{
    return StrToFloatTolerant(edit->text(), 0);
}

Money moneyOf(const QLineEdit *edit)
{
    return StrToCurrTolerant(edit->text(), Money());
}

QLineEdit *lineEdit(const char *name, bool number = false)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    if (number)
        edit->setAlignment(Qt::AlignRight);
    return edit;
}

QComboBox *comboBox(const char *name, bool editable)
{
    auto *box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(editable);
    return box;
}

QCheckBox *checkBox(const char *name, const QString &text)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton *button(const char *name, const QString &text)
{
    auto *b = new QPushButton(text);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLabel *valueLabel(const char *name)
{
    auto *label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QWidget *page(const char *name)
{
    auto *w = new QWidget;
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A label with its buddy, so that the label's mnemonic and screen readers find the field.
void addRow(QGridLayout *grid, int row, int column, const QString &text, QWidget *field,
            const QString &unit = {})
{
    auto *label = new QLabel(text);
    label->setBuddy(field);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1);
    if (!unit.isEmpty())
        grid->addWidget(new QLabel(unit), row, column + 2);
}

// The combo's text for editable lists; values outside the list are kept as typed.
void setComboText(QComboBox *box, const QString &text)
{
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0)
        box->setCurrentIndex(index);
    box->setEditText(text);
}

const char *const kSalePriceRows[] = {txNoop("VK-Preis 1"), txNoop("VK-Preis 2"),
                                      txNoop("VK-Preis 3"), txNoop("VK-Preis 4"),
                                      txNoop("VK-Preis 5")};

QColor colorOf(unsigned bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// What the views hold, in the form the record keeps: the HTML QTextDocument writes. An empty
// view stores an empty text rather than an empty HTML document.
QString storedText(const QTextEdit *view)
{
    return view->document()->isEmpty() ? QString() : view->toHtml();
}

void showText(QTextEdit *view, const QString &text)
{
    if (Qt::mightBeRichText(text))
        view->setHtml(text);
    else
        view->setPlainText(text);
    view->document()->setModified(false);
}
} // namespace

TLagerArtikelFrame1::TLagerArtikelFrame1(const TLagerArtikelEditContext &context, QWidget *parent)
    : QFrame(parent), m_context(context), m_calc(TArtikelPreisRechner::Settings{})
{
    setObjectName(u"LagerArtikelFrame1"_s);
    m_config.LoadFromFile(TLagerConfig::FileNameIn(m_context.stockDir));
    m_calc = TArtikelPreisRechner(calcSettings(settings(), m_config));
    m_guard = false;

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(buildHead(), 3);
    top->addWidget(buildStock(), 2);
    layout->addLayout(top);
    layout->addWidget(buildTexts());

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"pcArtikel"_s);
    m_pages->addTab(buildPrices(), tx("Preise"));
    m_pages->addTab(buildExtraData(), tx("Zusatzdaten"));
    m_pages->addTab(buildSuppliers(), tx("Lieferanten"));
    m_pages->addTab(buildInventur(), tx("Inventur"));
    m_pages->addTab(buildUnits(), tx("Einheiten"));
    m_pages->addTab(buildPictures(), tx("Bilder"));
    m_pages->addTab(buildOther(), tx("Sonstiges"));
    m_bookingPage = new TLagerArtikelBuchungenPage;
    m_pages->addTab(m_bookingPage, tx("Buchungen"));
    layout->addWidget(m_pages, 1);

    for (int i = 0; i < m_pages->count(); ++i)
        m_pages->widget(i)->setProperty("tag", 4); // colour scheme: tab pages
    if (auto *preview = findChild<QWidget *>(u"imgPreview"_s))
        preview->setProperty("tag", 5); // colour scheme: behind pictures
    ApplyWindowColours(this);

    fillCombos();
    clearFields();
    m_guard = true;
}

TLagerArtikelFrame1::~TLagerArtikelFrame1() = default;

const TSystemEinstellungen &TLagerArtikelFrame1::settings() const
{
    return m_context.settings ? *m_context.settings : TSystemEinstellungen::instance();
}

QString TLagerArtikelFrame1::moneyText(Money amount) const
{
    return settings().FormatMoney(amount);
}

double TLagerArtikelFrame1::vatRate() const
{
    return settings().VATRate(std::max(0, cbMwStSatz->currentIndex()));
}

// ---------------------------------------------------------------------------------------------
// Building

QWidget *TLagerArtikelFrame1::buildHead()
{
    auto *box = new QGroupBox;
    box->setObjectName(u"gbKopf"_s);
    box->setProperty("tag", 3); // colour scheme: the article's head data
    auto *grid = new QGridLayout(box);
    edArtikelnummer = lineEdit("edArtikelnummer");
    edKatalog = lineEdit("edKatalog");
    edBezeichnung = lineEdit("edBezeichnung");
    edEAN = lineEdit("edEAN");
    cbME = comboBox("cbME", true);
    cbLagerort = comboBox("cbLagerort", true);
    cbArtikelgruppe = comboBox("cbArtikelgruppe", true);
    ckbSNPflicht = checkBox("ckbSNPflicht", tx("Seriennummer ist Pflicht"));
    cbOhneBestand = checkBox("cbOhneBestand", tx("Artikel ohne Bestand fuehren"));

    addRow(grid, 0, 0, tx("Artikelnummer"), edArtikelnummer);
    addRow(grid, 0, 2, tx("Lieferanten-Katalog"), edKatalog);
    auto *description = new QLabel(tx("Bezeichnung"));
    description->setBuddy(edBezeichnung);
    grid->addWidget(description, 1, 0);
    grid->addWidget(edBezeichnung, 1, 1, 1, 3);
    addRow(grid, 2, 0, tx("Mengeneinheit"), cbME);
    addRow(grid, 2, 2, tx("EAN"), edEAN);
    addRow(grid, 3, 0, tx("Lagerort"), cbLagerort);
    addRow(grid, 3, 2, tx("Artikelgruppe"), cbArtikelgruppe);
    grid->addWidget(ckbSNPflicht, 4, 1);
    grid->addWidget(cbOhneBestand, 4, 3);
    return box;
}

QWidget *TLagerArtikelFrame1::buildStock()
{
    auto *box = new QGroupBox(tx("Bestandsinformationen"));
    box->setObjectName(u"gbBestand"_s);
    box->setProperty("tag", 3);
    auto *grid = new QGridLayout(box);
    edBestand = lineEdit("edBestand", true);
    // Quantities change through bookings and stock-taking only.
    ShowReadOnly(edBestand, true);
    addRow(grid, 0, 0, tx("Bestand"), edBestand);
    m_periods = new TMindestbestandBox(m_context);
    grid->addWidget(m_periods, 1, 0, 1, 2);
    return box;
}

QWidget *TLagerArtikelFrame1::buildTexts()
{
    auto *w = new QWidget;
    auto *grid = new QGridLayout(w);
    grid->setContentsMargins(0, 0, 0, 0);
    const std::pair<QTextEdit **, const char *> views[] = {
        {&rv1, "rv1"}, {&rv2, "rv2"}, {&rv3, "rv3"}};
    const char *titles[] = {txNoop("Kurztext"), txNoop("Langtext"), txNoop("Etikett")};
    int column = 0;
    for (size_t i = 0; i < 3; ++i) {
        auto *view = new QTextEdit;
        view->setObjectName(QString::fromLatin1(views[i].second));
        view->setAcceptRichText(true);
        view->setTabChangesFocus(true);
        *views[i].first = view;
        auto *label = new QLabel(tx(titles[i]));
        label->setBuddy(view);
        grid->addWidget(label, 0, column);
        grid->addWidget(view, 1, column);
        ++column;
        if (i == 0) {
            btKTToLT = button("btKTToLT", u">>"_s);
            btKTToLT->setToolTip(tx("Kurztext in den Langtext kopieren"));
            btKTToLT->setFixedWidth(btKTToLT->sizeHint().height() * 2);
            grid->addWidget(btKTToLT, 1, column++, Qt::AlignVCenter);
        }
    }
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(2, 3);
    grid->setColumnStretch(3, 2);
    connect(btKTToLT, &QPushButton::clicked, this, &TLagerArtikelFrame1::onShortToLongText);
    return w;
}

QWidget *TLagerArtikelFrame1::buildPrices()
{
    QWidget *w = page("tsPreise");
    auto *outer = new QVBoxLayout(w);
    auto *head = new QGridLayout;
    edEK = lineEdit("edEK", true);
    edVKZuschlag = lineEdit("edVKZuschlag", true);
    cbMwStSatz = comboBox("cbMwStSatz", false);
    edPreiseinheit = lineEdit("edPreiseinheit", true);
    cbRabattgruppe = comboBox("cbRabattgruppe", false);
    ckbDurchschnittspb =
        checkBox("ckbDurchschnittspb", tx("Durchschnittspreisbildung bei Warenzugang"));
    addRow(head, 0, 0, tx("Einkaufspreis Netto"), edEK);
    addRow(head, 0, 2, tx("Zuschlagsfaktor"), edVKZuschlag);
    addRow(head, 0, 4, tx("MwSt-Satz"), cbMwStSatz);
    addRow(head, 1, 0, tx("Preiseinheit"), edPreiseinheit);
    addRow(head, 1, 2, tx("Rabattgruppe"), cbRabattgruppe);
    head->addWidget(ckbDurchschnittspb, 1, 4, 1, 2);
    outer->addLayout(head);

    // The net and gross column heads switch whether their column can be edited.
    auto *grid = new QGridLayout;
    cbNettoEnabled = checkBox("cbNettoEnabled", tx("Netto"));
    cbBruttoEnabled = checkBox("cbBruttoEnabled", tx("Brutto"));
    grid->addWidget(cbNettoEnabled, 0, 1);
    grid->addWidget(new QLabel(tx("MwSt")), 0, 2);
    grid->addWidget(cbBruttoEnabled, 0, 3);
    grid->addWidget(new QLabel(tx("Netto-Ertrag")), 0, 4);
    for (int n = 1; n <= 5; ++n) {
        const size_t i = size_t(n - 1);
        const QByteArray suffix = QByteArray::number(n);
        edVKNetto[i] = lineEdit(QByteArray("edVKNetto" + suffix).constData(), true);
        edVKMwst[i] = lineEdit(QByteArray("edVKMwst" + suffix).constData(), true);
        edVKBrutto[i] = lineEdit(QByteArray("edVKBrutto" + suffix).constData(), true);
        edVKNettoGew[i] = lineEdit(QByteArray("edVKNettoGew" + suffix).constData(), true);
        ShowReadOnly(edVKMwst[i], true);
        edVKMwst[i]->setFocusPolicy(Qt::NoFocus);
        auto *label = new QLabel(tx(kSalePriceRows[i]));
        label->setBuddy(edVKNetto[i]);
        grid->addWidget(label, n, 0);
        grid->addWidget(edVKNetto[i], n, 1);
        grid->addWidget(edVKMwst[i], n, 2);
        grid->addWidget(edVKBrutto[i], n, 3);
        grid->addWidget(edVKNettoGew[i], n, 4);
        connect(edVKNetto[i], &QLineEdit::editingFinished, this, [this, n] { onNetLeft(n); });
        connect(edVKBrutto[i], &QLineEdit::editingFinished, this, [this, n] { onGrossLeft(n); });
        connect(edVKNettoGew[i], &QLineEdit::editingFinished, this, [this, n] { onProfitLeft(n); });
    }
    outer->addLayout(grid);
    outer->addStretch(1);

    cbNettoEnabled->setChecked(true);
    cbBruttoEnabled->setChecked(true);
    connect(cbNettoEnabled, &QCheckBox::toggled, this, [this](bool on) {
        for (QLineEdit *e : edVKNetto)
            ShowReadOnly(e, !on);
    });
    connect(cbBruttoEnabled, &QCheckBox::toggled, this, [this](bool on) {
        for (QLineEdit *e : edVKBrutto)
            ShowReadOnly(e, !on);
    });
    // textEdited comes from typing only, so it stands for "changed while it has the focus".
    connect(edVKZuschlag, &QLineEdit::textEdited, this, &TLagerArtikelFrame1::onFactorTyped);
    connect(cbMwStSatz, &QComboBox::activated, this, &TLagerArtikelFrame1::onVatClassChosen);
    connect(edEK, &QLineEdit::editingFinished, this, &TLagerArtikelFrame1::onPurchasePriceLeft);
    return w;
}

QWidget *TLagerArtikelFrame1::buildExtraData()
{
    QWidget *w = page("tsZusatzdaten");
    auto *layout = new QVBoxLayout(w);
    m_extraPage = new TLagerArtikelZusatzdatenPage(m_context);
    layout->addWidget(m_extraPage);
    // The field designer belongs to the suite's base package, not to this module.
    auto *designer = new QAction(tx("Zusaetzliche Journal-Felder bearbeiten"), w);
    designer->setObjectName(u"miJournalFelder"_s);
    designer->setEnabled(false);
    w->addAction(designer);
    w->setContextMenuPolicy(Qt::ActionsContextMenu);
    return w;
}

// The pages of their own sit in a named page each, so that every tab is found by its name.
QWidget *TLagerArtikelFrame1::buildSuppliers()
{
    QWidget *w = page("tsLieferanten");
    auto *layout = new QVBoxLayout(w);
    m_supplierPage = new TLagerArtikelLieferantenPage(m_context);
    m_supplierPage->SearchText = [this] {
        return (edArtikelnummer->text().trimmed() + u' ' + edBezeichnung->text().trimmed())
            .trimmed();
    };
    layout->addWidget(m_supplierPage);
    return w;
}

QWidget *TLagerArtikelFrame1::buildPictures()
{
    QWidget *w = page("tsBilder");
    auto *layout = new QVBoxLayout(w);
    m_picturePage = new TLagerArtikelBilderPage(m_context);
    layout->addWidget(m_picturePage);
    return w;
}

QWidget *TLagerArtikelFrame1::buildInventur()
{
    QWidget *w = page("tsInventur");
    auto *grid = new QGridLayout(w);
    ckbInventurartikel = checkBox("ckbInventurartikel", tx("Inventurartikel"));
    edSummeWareneingang = lineEdit("edSummeWareneingang", true);
    edAnfangsbestand = lineEdit("edAnfangsbestand", true);
    edInvErfassung = lineEdit("edInvErfassung", true);
    edInvDifferenz = lineEdit("edInvDifferenz", true);
    grid->addWidget(ckbInventurartikel, 0, 0, 1, 2);
    addRow(grid, 1, 0, tx("Summe Wareneingang"), edSummeWareneingang);
    addRow(grid, 2, 0, tx("Anfangsbestand"), edAnfangsbestand);
    addRow(grid, 3, 0, tx("Inventur-Erfassung"), edInvErfassung);
    addRow(grid, 4, 0, tx("Inventur-Differenz"), edInvDifferenz);
    // Shown only: stock-taking changes these through the stock list.
    for (QLineEdit *e : {edSummeWareneingang, edAnfangsbestand, edInvErfassung, edInvDifferenz})
        ShowReadOnly(e, true);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(2, 1);
    return w;
}

QWidget *TLagerArtikelFrame1::buildUnits()
{
    QWidget *w = page("tsEinheiten");
    auto *grid = new QGridLayout(w);
    edGewicht = lineEdit("edGewicht", true);
    edGewichtQM = lineEdit("edGewichtQM", true);
    edOberfl = lineEdit("edOberfl", true);
    edLaenge = lineEdit("edLaenge", true);
    edBreite = lineEdit("edBreite", true);
    edDicke = lineEdit("edDicke", true);
    edDichte = lineEdit("edDichte", true);
    edVol = lineEdit("edVol", true);
    edVerpackungsmenge = lineEdit("edVerpackungsmenge", true);
    cbVerpackungsME = comboBox("cbVerpackungsME", true);
    edArbeitszeit = lineEdit("edArbeitszeit", true);
    edLohn = lineEdit("edLohn", true);
    edEKkg = lineEdit("edEKkg", true);
    lbVKkgWert = valueLabel("lbVKkgWert");
    lbEKqmWert = valueLabel("lbEKqmWert");
    lbVKqmWert = valueLabel("lbVKqmWert");
    const QString calc = tx("Berechnen");
    btCalcGewichtME = button("btCalcGewichtME", calc);
    btCalcGewichtQM = button("btCalcGewichtQM", calc);
    btCalcOberfl = button("btCalcOberfl", calc);
    btCalcVol = button("btCalcVol", calc);

    // Dimensions on the left with the buttons that derive from them, prices on the right.
    addRow(grid, 0, 0, tx("Laenge"), edLaenge, u"m"_s);
    addRow(grid, 1, 0, tx("Breite"), edBreite, u"m"_s);
    addRow(grid, 2, 0, tx("Hoehe / Dicke"), edDicke, u"m"_s);
    addRow(grid, 3, 0, tx("Dichte"), edDichte, u"kg/m²/mm"_s);
    addRow(grid, 4, 0, tx("Flaeche Breite*Laenge"), edOberfl, u"m²"_s);
    grid->addWidget(btCalcOberfl, 4, 3);
    addRow(grid, 5, 0, tx("Volumen"), edVol, u"m³"_s);
    grid->addWidget(btCalcVol, 5, 3);
    addRow(grid, 6, 0, tx("Gewicht pro m²"), edGewichtQM, u"kg/m²"_s);
    grid->addWidget(btCalcGewichtQM, 6, 3);
    addRow(grid, 7, 0, tx("Gewicht pro ME"), edGewicht, u"kg"_s);
    grid->addWidget(btCalcGewichtME, 7, 3);

    addRow(grid, 0, 4, tx("EK-Preis pro kg"), edEKkg);
    addRow(grid, 1, 4, tx("VK-Preis pro kg"), lbVKkgWert);
    addRow(grid, 2, 4, tx("EK-Preis pro m²"), lbEKqmWert);
    addRow(grid, 3, 4, tx("VK-Preis pro m²"), lbVKqmWert);
    addRow(grid, 4, 4, tx("Verpackungsmenge"), edVerpackungsmenge);
    grid->addWidget(cbVerpackungsME, 4, 6);
    addRow(grid, 5, 4, tx("Arbeitszeit"), edArbeitszeit, tx("Minuten"));
    addRow(grid, 6, 4, tx("Lohn"), edLohn);
    grid->setRowStretch(8, 1);

    for (QPushButton *b : {btCalcOberfl, btCalcVol, btCalcGewichtQM, btCalcGewichtME})
        connect(b, &QPushButton::clicked, this, [this, b] { onUnitButton(b); });
    connect(edEKkg, &QLineEdit::editingFinished, this, &TLagerArtikelFrame1::onPurchasePerKgLeft);
    connect(edGewicht, &QLineEdit::editingFinished, this, &TLagerArtikelFrame1::onWeightLeft);
    connect(edGewichtQM, &QLineEdit::editingFinished, this, &TLagerArtikelFrame1::onWeightLeft);
    return w;
}

QWidget *TLagerArtikelFrame1::buildOther()
{
    QWidget *w = page("tsSonstiges");
    auto *grid = new QGridLayout(w);
    cbUseColor = checkBox("cbUseColor", tx("Anzeigefarbe festlegen"));
    pnColor = new QLabel;
    pnColor->setObjectName(u"pnColor"_s);
    pnColor->setAutoFillBackground(true);
    pnColor->setFrameShape(QFrame::Box);
    pnColor->setMinimumSize(60, 20);
    btColor = button("btColor", tx("Aendern"));
    ckbORab = checkBox("ckbORab", tx("Ohne Rabatt"));
    ckbOProv = checkBox("ckbOProv", tx("Ohne Provision"));
    cbNoAutoPreisflege = checkBox("cbNoAutoPreisflege", tx("Keine automatische EK-Preispflege"));
    ckbEKSp = checkBox("ckbEKSp", tx("EK-Sperre"));
    ckbVKSp = checkBox("ckbVKSp", tx("VK-Sperre"));
    grid->addWidget(cbUseColor, 0, 0);
    grid->addWidget(pnColor, 0, 1);
    grid->addWidget(btColor, 0, 2);
    int row = 1;
    for (QCheckBox *b : {ckbORab, ckbOProv, cbNoAutoPreisflege, ckbEKSp, ckbVKSp})
        grid->addWidget(b, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(3, 1);
    connect(btColor, &QPushButton::clicked, this, &TLagerArtikelFrame1::onChooseColor);
    return w;
}

void TLagerArtikelFrame1::fillCombos()
{
    // The classes with their rates, so that nobody has to know which one is 7 %.
    const QStringList vatClasses = TSystemEinstellungen::VATClassNames();
    for (int i = 0; i < vatClasses.size(); ++i)
        cbMwStSatz->addItem(i == 0 ? vatClasses[i]
                                   : vatClasses[i] + u" ("_s + floatToText(settings().VATRate(i)) +
                                         u" %)"_s);
    QStringList units;
    settings().FillUnits(units);
    cbME->addItems(units);
    cbVerpackungsME->addItems(units);
    cbArtikelgruppe->addItems(m_config.Artikelgruppen);
    cbLagerort->addItems(m_config.Lagerorte);
    // First entry: no discount group. The configured groups show their text, store their key.
    cbRabattgruppe->addItem(QString(), QString());
    for (const TDoubleString &group : m_config.Rabattgruppen)
        cbRabattgruppe->addItem(group.Value, group.Key);
}

// ---------------------------------------------------------------------------------------------
// Showing and storing

bool TLagerArtikelFrame1::keepsOwnState(const QWidget *w) const
{
    for (const QWidget *p : std::initializer_list<const QWidget *>{m_periods, m_extraPage,
                                                                   m_supplierPage, m_picturePage}) {
        if (p && p->isAncestorOf(w))
            return true;
    }
    return false;
}

void TLagerArtikelFrame1::clearFields()
{
    // The pages of suppliers, pictures, extra values and periods clear their own widgets;
    // the combo boxes' line edits are cleared through their combo.
    for (QLineEdit *e : findChildren<QLineEdit *>()) {
        if (!keepsOwnState(e) && !qobject_cast<QComboBox *>(e->parentWidget()))
            e->clear();
    }
    for (QComboBox *box : {cbME, cbLagerort, cbArtikelgruppe, cbVerpackungsME})
        box->setEditText(QString());
    cbMwStSatz->setCurrentIndex(0);
    cbRabattgruppe->setCurrentIndex(0);
    for (QCheckBox *box : findChildren<QCheckBox *>()) {
        if (!keepsOwnState(box) && box != cbNettoEnabled && box != cbBruttoEnabled)
            box->setChecked(false);
    }
    ckbInventurartikel->setChecked(true);
    for (QTextEdit *view : {rv1, rv2, rv3})
        showText(view, QString());
    m_shownTexts = {};
    for (QLabel *label : {lbVKkgWert, lbEKqmWert, lbVKqmWert})
        label->clear();
    setPanelColor(0);
    if (m_bookingPage)
        m_bookingPage->Clear();
}

void TLagerArtikelFrame1::ShowArticle(TLagerServerObj *article)
{
    if (!article) {
        Clear();
        return;
    }
    m_guard = false;
    clearFields();
    m_article = article;
    const TLagerServerObj &a = *article;

    edArtikelnummer->setText(a.LagerArtikelNr);
    edKatalog->setText(a.Katalog);
    edBezeichnung->setText(a.Bezeichnung);
    edEAN->setText(a.EAN);
    setComboText(cbME, a.ME);
    setComboText(cbLagerort, a.Lagerort);
    setComboText(cbArtikelgruppe, a.Gruppe);
    ckbSNPflicht->setChecked(a.SNPflicht);
    cbOhneBestand->setChecked(a.IsNotBestandsartikel);
    edBestand->setText(fixedText(a.BuchungsBestand, 3));

    showText(rv1, a.Kurztext);
    showText(rv2, a.Langtext);
    showText(rv3, a.Etikett);
    m_shownTexts = {a.Kurztext, a.Langtext, a.Etikett};

    edEK->setText(moneyText(a.EKPreis));
    cbMwStSatz->setCurrentIndex(a.MwStSatz < cbMwStSatz->count() ? int(a.MwStSatz) : 0);
    edPreiseinheit->setText(QString::number(a.PE));
    int discount = cbRabattgruppe->findData(a.Rabattgruppen);
    if (discount < 0) {
        // A group no longer configured is kept rather than lost on the next store.
        cbRabattgruppe->addItem(a.Rabattgruppen, a.Rabattgruppen);
        discount = cbRabattgruppe->count() - 1;
    }
    cbRabattgruppe->setCurrentIndex(discount);
    ckbDurchschnittspb->setChecked(a.DEinstandsPreisbildung);
    m_calc.purchasePrice = a.EKPreis;
    m_calc.factor = a.VKZuschlag;
    m_calc.vatRate = vatRate();
    m_calc.SetStoredPrices(a.VKPreis);
    calcToPrices();

    ckbInventurartikel->setChecked(a.Inventurartikel);
    edSummeWareneingang->setText(fixedText(a.SummeWareneingangMe, 3));
    edAnfangsbestand->setText(fixedText(a.Anfangsbestand, 3));
    edInvErfassung->setText(fixedText(a.InventurErfassung, 3));
    edInvDifferenz->setText(fixedText(a.Inventurdifferenz, 3));

    m_calc.weightPerUnit = a.Gewicht;
    m_calc.weightPerSqm = a.GewichtQm;
    m_calc.surface = a.Oberflaeche;
    m_calc.length = a.Laenge;
    m_calc.width = a.Breite;
    m_calc.thickness = a.Dicke;
    m_calc.density = a.Dichte;
    m_calc.volume = a.Volumen;
    m_calc.purchasePerKg = a.EKProKg;
    calcToUnits();
    edVerpackungsmenge->setText(fixedText(a.Verpackungsmenge, 4));
    setComboText(cbVerpackungsME, a.VerpackungsME);
    edArbeitszeit->setText(QString::number(qRound64(a.Arbeitszeit)));
    edLohn->setText(moneyText(a.Lohn));
    m_calc.CalcPerKgLabels();
    showPerKgLabels();

    cbUseColor->setChecked(a.ViewColor != 0);
    setPanelColor(unsigned(a.ViewColor));
    ckbORab->setChecked(a.OhneRabatt);
    ckbOProv->setChecked(a.OhneProvision);
    cbNoAutoPreisflege->setChecked(a.KeineEKPflege);
    ckbEKSp->setChecked(a.EKSperre);
    ckbVKSp->setChecked(a.VKSperre);

    m_periods->ShowArticle(article);
    m_extraPage->ShowArticle(article);
    m_supplierPage->ShowArticle(article);
    m_picturePage->ShowArticle(article);
    if (m_context.bookings)
        m_bookingPage->ShowBookings(m_context.bookings(a.LagerArtikelNr));
    m_guard = true;
}

void TLagerArtikelFrame1::StoreArticle(TLagerServerObj &a)
{
    a.LagerArtikelNr = edArtikelnummer->text().trimmed();
    a.Katalog = edKatalog->text().trimmed();
    a.EAN = edEAN->text().trimmed();
    a.Bezeichnung = edBezeichnung->text();
    a.ME = cbME->currentText();
    a.Lagerort = cbLagerort->currentText();
    a.Gruppe = cbArtikelgruppe->currentText();
    a.IsNotBestandsartikel = cbOhneBestand->isChecked();
    // Articles kept without stock are never counted and carry no serial numbers.
    a.SNPflicht = !a.IsNotBestandsartikel && ckbSNPflicht->isChecked();
    a.Inventurartikel = !a.IsNotBestandsartikel && ckbInventurartikel->isChecked();

    const std::array<const QTextEdit *, 3> views{rv1, rv2, rv3};
    std::array<QString *, 3> texts{&a.Kurztext, &a.Langtext, &a.Etikett};
    for (size_t i = 0; i < views.size(); ++i)
        *texts[i] = views[i]->document()->isModified() ? storedText(views[i]) : m_shownTexts[i];

    pricesToCalc();
    a.EKPreis = m_calc.purchasePrice;
    a.VKZuschlag = m_calc.factor;
    a.MwStSatz = quint8(std::max(0, cbMwStSatz->currentIndex()));
    a.VKPreis = m_calc.StoredPrices();
    a.PE = std::max(1, StrToIntTolerant(edPreiseinheit->text(), 1));
    a.Rabattgruppen = cbRabattgruppe->currentData().toString();
    a.DEinstandsPreisbildung = ckbDurchschnittspb->isChecked();

    unitsToCalc();
    a.Gewicht = m_calc.weightPerUnit;
    a.GewichtQm = m_calc.weightPerSqm;
    a.Oberflaeche = m_calc.surface;
    a.Laenge = m_calc.length;
    a.Breite = m_calc.width;
    a.Dicke = m_calc.thickness;
    a.Dichte = m_calc.density;
    a.Volumen = m_calc.volume;
    a.EKProKg = m_calc.purchasePerKg;
    a.Verpackungsmenge = numberOf(edVerpackungsmenge);
    a.VerpackungsME = cbVerpackungsME->currentText();
    a.Arbeitszeit = numberOf(edArbeitszeit);
    a.Lohn = moneyOf(edLohn);

    a.ViewColor = cbUseColor->isChecked() ? qint32(m_color) : 0;
    a.OhneRabatt = ckbORab->isChecked();
    a.OhneProvision = ckbOProv->isChecked();
    a.KeineEKPflege = cbNoAutoPreisflege->isChecked();
    a.EKSperre = ckbEKSp->isChecked();
    a.VKSperre = ckbVKSp->isChecked();

    // Periods, suppliers and pictures are edited in the shown record itself; a caller that
    // stores into another record gets them too.
    if (m_article && m_article != &a) {
        a.MindestBestand = m_article->MindestBestand;
        a.KatRefs = m_article->KatRefs;
        a.Bilder = m_article->Bilder;
    }
    m_periods->StoreArticle(a);
    m_extraPage->StoreArticle(a);
    m_supplierPage->StoreArticle(a);
    m_picturePage->StoreArticle(a);

    a.Changed = DateTime::now();
    a.ChangedBy = m_context.userFullName;
}

void TLagerArtikelFrame1::Clear()
{
    m_guard = false;
    m_article = nullptr;
    clearFields();
    m_periods->Clear();
    m_extraPage->Clear();
    m_supplierPage->Clear();
    m_picturePage->Clear();
    m_guard = true;
}

void TLagerArtikelFrame1::SetArticleNumberReadOnly(bool readOnly)
{
    ShowReadOnly(edArtikelnummer, readOnly);
}

QString TLagerArtikelFrame1::ArticleNumberText() const
{
    return edArtikelnummer->text().trimmed();
}

bool TLagerArtikelFrame1::HasVatClass() const
{
    return cbMwStSatz->currentIndex() > 0;
}

void TLagerArtikelFrame1::FocusArticleNumber()
{
    edArtikelnummer->setFocus();
}

void TLagerArtikelFrame1::FocusVatClass()
{
    m_pages->setCurrentWidget(m_pages->findChild<QWidget *>(u"tsPreise"_s));
    cbMwStSatz->setFocus();
}

void TLagerArtikelFrame1::FocusField(int mode)
{
    QWidget *field = nullptr;
    if (mode == 0)
        field = edBezeichnung;
    else if (mode == 1)
        field = m_periods->orderQuantityEdit();
    else if (mode == 2)
        field = edEK;
    else if (mode >= 3 && mode <= 7)
        field = edVKNetto[size_t(mode - 3)]->isReadOnly() ? edVKBrutto[size_t(mode - 3)]
                                                          : edVKNetto[size_t(mode - 3)];
    if (!field)
        return;
    if (mode >= 2)
        m_pages->setCurrentWidget(m_pages->findChild<QWidget *>(u"tsPreise"_s));
    field->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll(); // typing replaces the value, as the field edit intends
}

void TLagerArtikelFrame1::ReloadConfig()
{
    m_config.LoadFromFile(TLagerConfig::FileNameIn(m_context.stockDir));
    const bool guard = m_guard;
    m_guard = false;
    for (auto [box, entries] : {std::pair{cbLagerort, &m_config.Lagerorte},
                                std::pair{cbArtikelgruppe, &m_config.Artikelgruppen}}) {
        const QString text = box->currentText();
        box->clear();
        box->addItems(*entries);
        setComboText(box, text);
    }
    const QString discount = cbRabattgruppe->currentData().toString();
    cbRabattgruppe->clear();
    cbRabattgruppe->addItem(QString(), QString());
    for (const TDoubleString &group : m_config.Rabattgruppen)
        cbRabattgruppe->addItem(group.Value, group.Key);
    int index = cbRabattgruppe->findData(discount);
    if (index < 0) { // an article's key that is no longer configured stays its own
        cbRabattgruppe->addItem(discount, discount);
        index = cbRabattgruppe->count() - 1;
    }
    cbRabattgruppe->setCurrentIndex(index);
    m_guard = guard;
}

// ---------------------------------------------------------------------------------------------
// Fields and calculator

void TLagerArtikelFrame1::pricesToCalc()
{
    m_calc.purchasePrice = moneyOf(edEK);
    m_calc.factor = numberOf(edVKZuschlag);
    m_calc.vatRate = vatRate();
    for (size_t i = 0; i < 5; ++i) {
        m_calc.net[i] = moneyOf(edVKNetto[i]);
        m_calc.gross[i] = moneyOf(edVKBrutto[i]);
        m_calc.vat[i] = moneyOf(edVKMwst[i]);
        m_calc.profit[i] = moneyOf(edVKNettoGew[i]);
    }
}

void TLagerArtikelFrame1::calcToPrices(bool withFactor)
{
    edEK->setText(moneyText(m_calc.purchasePrice));
    if (withFactor)
        edVKZuschlag->setText(fixedText(m_calc.factor, 6));
    for (size_t i = 0; i < 5; ++i) {
        edVKNetto[i]->setText(moneyText(m_calc.net[i]));
        edVKBrutto[i]->setText(moneyText(m_calc.gross[i]));
        edVKMwst[i]->setText(moneyText(m_calc.vat[i]));
        edVKNettoGew[i]->setText(moneyText(m_calc.profit[i]));
    }
}

void TLagerArtikelFrame1::unitsToCalc()
{
    m_calc.weightPerUnit = numberOf(edGewicht);
    m_calc.weightPerSqm = numberOf(edGewichtQM);
    m_calc.surface = numberOf(edOberfl);
    m_calc.length = numberOf(edLaenge);
    m_calc.width = numberOf(edBreite);
    m_calc.thickness = numberOf(edDicke);
    m_calc.density = numberOf(edDichte);
    m_calc.volume = numberOf(edVol);
    m_calc.purchasePerKg = moneyOf(edEKkg);
}

void TLagerArtikelFrame1::calcToUnits()
{
    edGewicht->setText(fixedText(m_calc.weightPerUnit, 4));
    edGewichtQM->setText(fixedText(m_calc.weightPerSqm, 4));
    edOberfl->setText(fixedText(m_calc.surface, 4));
    edLaenge->setText(fixedText(m_calc.length, 4));
    edBreite->setText(fixedText(m_calc.width, 4));
    edDicke->setText(fixedText(m_calc.thickness, 5));
    edDichte->setText(fixedText(m_calc.density, 4));
    edVol->setText(fixedText(m_calc.volume, 4));
    edEKkg->setText(moneyText(m_calc.purchasePerKg));
}

void TLagerArtikelFrame1::showPerKgLabels()
{
    lbVKkgWert->setText(moneyText(m_calc.salePerKg));
    lbEKqmWert->setText(moneyText(m_calc.purchasePerSqm));
    lbVKqmWert->setText(moneyText(m_calc.salePerSqm));
}

QLineEdit *TLagerArtikelFrame1::badMoneyField() const
{
    std::vector<QLineEdit *> fields{edEK, edEKkg, edLohn};
    for (const auto *list : {&edVKNetto, &edVKMwst, &edVKBrutto, &edVKNettoGew})
        fields.insert(fields.end(), list->begin(), list->end());
    for (QLineEdit *field : fields) {
        const QString text = field->text();
        const bool hasDigit =
            std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
        // Two defaults tell a failed conversion from an amount that equals one of them.
        if (hasDigit && StrToCurrTolerant(text, Money::fromRaw(1)) !=
                            StrToCurrTolerant(text, Money::fromRaw(2)))
            return field;
    }
    return nullptr;
}

bool TLagerArtikelFrame1::CheckMoneyFields()
{
    QLineEdit *field = badMoneyField();
    if (!field)
        return true;
    ShowMessageBoxFmt(tx("Der Betrag \"%s\" ist ungueltig oder zu gross."), {field->text()},
                      MsgDlgType::Error, MsgButton::OK);
    for (QWidget *w = field->parentWidget(); w; w = w->parentWidget())
        if (const int page = m_pages->indexOf(w); page >= 0)
            m_pages->setCurrentIndex(page);
    field->setFocus();
    return false;
}

void TLagerArtikelFrame1::showNotice(const char *msgid)
{
    if (msgid)
        interaction().desktopAlert(tx("Information"), tx(msgid), 100, 3000);
}

void TLagerArtikelFrame1::onFactorTyped()
{
    if (!m_guard || badMoneyField())
        return;
    pricesToCalc();
    m_calc.FactorChanged(true);
    calcToPrices(false);
}

void TLagerArtikelFrame1::onVatClassChosen()
{
    if (!m_guard || badMoneyField())
        return;
    pricesToCalc();
    m_calc.VatClassChosen(vatRate());
    calcToPrices();
}

void TLagerArtikelFrame1::onNetLeft(int n)
{
    if (!m_guard || badMoneyField())
        return;
    pricesToCalc();
    m_calc.NetLeft(n, edVKZuschlag->hasFocus());
    calcToPrices();
}

void TLagerArtikelFrame1::onGrossLeft(int n)
{
    if (!m_guard || badMoneyField())
        return;
    pricesToCalc();
    m_calc.GrossLeft(n);
    calcToPrices();
}

void TLagerArtikelFrame1::onProfitLeft(int n)
{
    if (!m_guard || badMoneyField())
        return;
    pricesToCalc();
    m_calc.ProfitLeft(n, edVKZuschlag->hasFocus());
    calcToPrices();
}

void TLagerArtikelFrame1::onPurchasePriceLeft()
{
    if (!m_guard || badMoneyField())
        return;
    pricesToCalc();
    unitsToCalc();
    const char *notice = m_calc.PurchasePriceLeft();
    calcToPrices();
    calcToUnits();
    showPerKgLabels();
    showNotice(notice);
}

void TLagerArtikelFrame1::onPurchasePerKgLeft()
{
    if (!m_guard || badMoneyField())
        return;
    pricesToCalc();
    unitsToCalc();
    const char *notice = m_calc.PurchasePerKgLeft();
    calcToPrices();
    calcToUnits();
    showPerKgLabels();
    showNotice(notice);
}

void TLagerArtikelFrame1::onWeightLeft()
{
    if (!m_guard || badMoneyField())
        return;
    pricesToCalc();
    unitsToCalc();
    m_calc.RefreshPerKg();
    calcToPrices();
    showPerKgLabels();
}

void TLagerArtikelFrame1::onUnitButton(QPushButton *b)
{
    if (!m_guard)
        return;
    pricesToCalc();
    unitsToCalc();
    const char *notice = nullptr;
    if (b == btCalcOberfl)
        m_calc.CalcSurface();
    else if (b == btCalcVol)
        m_calc.CalcVolume();
    else if (b == btCalcGewichtQM)
        notice = m_calc.CalcWeightPerSqm();
    else if (b == btCalcGewichtME)
        notice = m_calc.CalcWeightPerUnit();
    calcToPrices();
    calcToUnits();
    showPerKgLabels();
    showNotice(notice);
}

// ---------------------------------------------------------------------------------------------
// Texts and colour

void TLagerArtikelFrame1::onShortToLongText()
{
    rv2->setHtml(rv1->toHtml());
    rv2->document()->setModified(true);
}

void TLagerArtikelFrame1::onChooseColor()
{
    unsigned color = m_color;
    if (!interaction().colorBox(tx("Anzeigefarbe festlegen"), color))
        return;
    setPanelColor(color);
    cbUseColor->setChecked(true);
}

void TLagerArtikelFrame1::setPanelColor(unsigned color)
{
    m_color = color;
    QPalette p = pnColor->palette();
    p.setColor(QPalette::Window, colorOf(color));
    pnColor->setPalette(p);
}
