#include "movements/ui/mod00501form3.h"

#include "base/formatsettings.h"
#include "base/inifile.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/manualstockchange.h"
#include "persistence/conversions.h"
#include "persistence/datetime.h"
#include "stock/ui/lagerartikelframe1.h"
#include "suite/systemeinstellungen.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
const auto kSection = u"Warenzugang"_s;
const auto kBasisKey = u"PreisProME"_s;

QLineEdit *field(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QString quantityText(double value)
{
    return floatToText(value);
}
} // namespace

TMOD00501Form3::TMOD00501Form3(const TLagerArtikelEditContext &context, GoodsReceipt receipt,
                               const QString &settingsFile, EnterSerials enterSerials,
                               SerialsInStock serialsInStock, QWidget *parent)
    : QDialog(parent), m_receipt(std::move(receipt)), m_settingsFile(settingsFile),
      m_enterSerials(std::move(enterSerials)), m_serialsInStock(std::move(serialsInStock))
{
    setObjectName(u"MOD00501Form3"_s);
    setWindowTitle(u"[0501 - 03] - "_s + tx("Warenzugang Lagerartikel buchen"));
    auto *layout = new QVBoxLayout(this);

    auto *grid = new QGridLayout;
    m_edMenge = field(this, "edZugangsmenge");
    m_edPreis = field(this, "edEinkaufspreis");
    m_edRabatt = field(this, "edRabatt");
    m_edNetto = field(this, "edNettopreis");
    m_edNetto->setReadOnly(true);
    m_lbBestellmenge = new QLabel(this);
    m_lbBestellmenge->setObjectName(u"lbBestellmenge"_s);
    m_lbWaehrung = new QLabel(this);
    m_lbWaehrung->setObjectName(u"lbWaehrung"_s);
    m_ckbReset = new QCheckBox(tx("Offene Liefermenge auf 0 setzen"), this);
    m_ckbReset->setObjectName(u"ckbReset"_s);
    m_rbProME = new QRadioButton(tx("Preis pro Mengeneinheit"), this);
    m_rbProME->setObjectName(u"rbProME"_s);
    m_rbProKg = new QRadioButton(tx("Preis pro kg"), this);
    m_rbProKg->setObjectName(u"rbProKg"_s);
    const auto label = [this](const char *text, QWidget *buddy) {
        auto *l = new QLabel(tx(text), this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(txNoop("Zugangsmenge"), m_edMenge), 0, 0);
    grid->addWidget(m_edMenge, 0, 1);
    grid->addWidget(m_lbBestellmenge, 0, 2, 1, 2);
    grid->addWidget(label(txNoop("Einkaufspreis"), m_edPreis), 1, 0);
    grid->addWidget(m_edPreis, 1, 1);
    grid->addWidget(m_lbWaehrung, 1, 2);
    grid->addWidget(m_rbProME, 1, 3);
    grid->addWidget(m_rbProKg, 1, 4);
    grid->addWidget(label(txNoop("Rabatt"), m_edRabatt), 2, 0);
    grid->addWidget(m_edRabatt, 2, 1);
    grid->addWidget(new QLabel(u"%"_s, this), 2, 2);
    grid->addWidget(label(txNoop("Nettopreis"), m_edNetto), 3, 0);
    grid->addWidget(m_edNetto, 3, 1);
    grid->addWidget(m_ckbReset, 3, 3, 1, 2);
    grid->setColumnStretch(5, 1);
    layout->addLayout(grid);

    TLagerArtikelEditContext frameContext = context;
    frameContext.bookings = nullptr; // the history belongs to the article window
    m_frame = new TLagerArtikelFrame1(frameContext, this);
    layout->addWidget(m_frame, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tx("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(u"btOK"_s);
    QPushButton *cancel = buttons->addButton(tx("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(u"btCancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    for (QLineEdit *edit : {m_edMenge, m_edPreis, m_edRabatt})
        connect(edit, &QLineEdit::editingFinished, this, &TMOD00501Form3::fieldLeft);
    const bool perUnit = m_settingsFile.isEmpty()
                             ? true
                             : IniFile(m_settingsFile).readBool(kSection, kBasisKey, true);
    (perUnit ? m_rbProME : m_rbProKg)->setChecked(true);
    connect(m_rbProME, &QRadioButton::toggled, this, &TMOD00501Form3::basisChosen);
}

GoodsReceipt::Basis TMOD00501Form3::basis() const
{
    return m_rbProKg->isChecked() ? GoodsReceipt::Basis::PerKg : GoodsReceipt::Basis::PerUnit;
}

bool TMOD00501Form3::quantityValue(double &value) const
{
    return ManualStockChange::ParseQuantity(m_edMenge->text(), value);
}

void TMOD00501Form3::ReloadConfiguration()
{
    m_frame->ReloadConfig();
}

void TMOD00501Form3::Setup(const TLagerServerObj &article, double quantity,
                           const std::vector<const TLagerArtikelDaten *> &grouped,
                           const QString &supplier, Money price, double discount)
{
    m_stored = article;
    m_work.Assign(article);
    m_grouped = grouped;
    m_serials.Clear();
    m_supplier = supplier;
    m_initialQuantity = quantity;
    m_confirmed = false;
    m_frame->ShowArticle(&m_work);
    m_edMenge->setText(quantityText(quantity));
    m_lbBestellmenge->setText(quantity != 0 ? tx("Bestellmenge") + u" : "_s +
                                                  quantityText(quantity) + u' ' + article.ME
                                            : QString());
    m_edPreis->setText(TSystemEinstellungen::instance().FormatMoney(price));
    m_edRabatt->setText(floatToText(discount));
    m_ckbReset->setChecked(false);
    m_ckbReset->setVisible(false);
    showUnitLabel();
    priceUpdate();
    m_edMenge->setFocus();
    m_edMenge->selectAll();
}

void TMOD00501Form3::showUnitLabel()
{
    const QString currency = TSystemEinstellungen::instance().HouseCurrencyShort;
    m_lbWaehrung->setText(currency + u'/' +
                          (basis() == GoodsReceipt::Basis::PerKg ? u"kg"_s : m_stored.ME));
}

void TMOD00501Form3::basisChosen()
{
    if (!m_settingsFile.isEmpty()) {
        IniFile settings(m_settingsFile);
        settings.writeBool(kSection, kBasisKey, basis() == GoodsReceipt::Basis::PerUnit);
        settings.save();
    }
    showUnitLabel();
    priceUpdate();
}

void TMOD00501Form3::fieldLeft()
{
    double quantity = 0;
    const bool valid = quantityValue(quantity);
    // Offered only for a partial delivery of an order line.
    const bool partial = valid && quantity > 0 && quantity < m_initialQuantity;
    if (!partial)
        m_ckbReset->setChecked(false);
    m_ckbReset->setVisible(partial);
    priceUpdate();
}

void TMOD00501Form3::priceUpdate()
{
    double quantity = 0;
    if (!quantityValue(quantity))
        quantity = 0;
    const Money price = StrToCurrTolerant(m_edPreis->text(), Money());
    const double discount = StrToFloatTolerant(m_edRabatt->text(), 0);
    Money net;
    try {
        net = m_receipt.NetPrice(price, discount);
    } catch (const std::range_error &) {
        net = Money(); // a discount beyond all sense; OK refuses nothing for it, the price is 0
    }
    m_edNetto->setText(TSystemEinstellungen::instance().FormatMoney(net));
    // The user's edits in the frame (packing quantity, average price, factor) count.
    m_frame->StoreArticle(m_work);
    m_receipt.UpdatePrices(m_work, m_stored, m_grouped, quantity, net, basis());
    m_frame->ShowArticle(&m_work);
}

void TMOD00501Form3::done(int result)
{
    if (result != QDialog::Accepted) {
        QDialog::done(result);
        return;
    }
    double quantity = 0;
    if (!quantityValue(quantity) || quantity < 0) {
        ShowMessageBox(tx("Geben Sie eine positive Zugangsmenge an!"), MsgDlgType::Error,
                       MsgButton::OK);
        m_edMenge->setFocus();
        return;
    }
    priceUpdate();
    if (const char *refusal = GoodsReceipt::Refusal(m_work, quantity)) {
        ShowMessageBox(tx(refusal), MsgDlgType::Error, MsgButton::OK);
        m_edMenge->setFocus();
        return;
    }
    m_serials.Clear();
    if (const qint64 wanted = GoodsReceipt::SerialsWanted(m_work, quantity); wanted > 0) {
        m_serials.SetCount(wanted, m_work.LagerArtikelNr);
        const double received = DateTime::now();
        for (qsizetype i = 0; i < m_serials.Count(); ++i)
            m_serials.Item(i).ZUGANG = received;
        const QStringList inStock =
            m_serialsInStock ? m_serialsInStock(m_work.LagerArtikelNr) : QStringList();
        QString supplier = m_supplier;
        if (!m_enterSerials || !m_enterSerials(m_serials, m_work, inStock, supplier)) {
            m_serials.Clear();
            return; // back to the receipt
        }
        m_supplier = supplier;
    }
    m_confirmed = true;
    QDialog::done(result);
}

bool TMOD00501Form3::Finish(TLagerServerObj &article, double &quantity, bool &reset,
                            QString &supplier, Money &netPrice, Money *unitPrice)
{
    if (!m_confirmed)
        return false;
    reset = m_ckbReset->isVisible() && m_ckbReset->isChecked();
    quantityValue(quantity);
    m_frame->StoreArticle(m_work);
    const Money net = StrToCurrTolerant(m_edNetto->text(), Money());
    m_receipt.UpdatePrices(m_work, m_stored, m_grouped, quantity, net, basis());
    GoodsReceipt::Apply(m_work, quantity, &m_serials, DateTime::now(), m_work.ChangedBy);
    article.Assign(m_work);
    supplier = m_supplier;
    netPrice = net;
    if (unitPrice)
        *unitPrice = m_receipt.UnitPrice(net, m_work.Verpackungsmenge);
    m_frame->Clear();
    return true;
}

bool TMOD00501Form3::Execute(TLagerServerObj &article, double &quantity,
                             const std::vector<const TLagerArtikelDaten *> &grouped, bool &reset,
                             QString &supplier, Money price, double discount, Money &netPrice,
                             Money *unitPrice)
{
    Setup(article, quantity, grouped, supplier, price, discount);
    exec();
    return Finish(article, quantity, reset, supplier, netPrice, unitPrice);
}
