#include "movements/ui/mod00501form6.h"

#include "base/formatsettings.h"
#include "base/messages.h"
#include "base/translation.h"
#include "movements/manualstockchange.h"
#include "persistence/conversions.h"
#include "suite/systemeinstellungen.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace
{
QLineEdit *field(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAlignment(Qt::AlignRight);
    return edit;
}
} // namespace

TMOD00501Form6::TMOD00501Form6(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"MOD00501Form6"_s);
    setWindowTitle(u"[0501 - 06] - "_s + tx("Warenzugang freier Artikel buchen"));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    m_lbBestellNr = new QLabel(this);
    m_lbBeschreibung = new QLabel(this);
    m_lbBeschreibung->setWordWrap(true);
    m_lbBestellmenge = new QLabel(this);
    m_lbBestellmenge->setObjectName(u"lbBestellmenge"_s);
    m_edMenge = field(this, "edZugangsmenge");
    m_edPreis = field(this, "edEinkaufspreis");
    m_edRabatt = field(this, "edRabatt");
    m_edNetto = field(this, "edNettopreis");
    m_edNetto->setReadOnly(true);
    int row = 0;
    const auto add = [&](const char *text, QWidget *widget, QWidget *beside = nullptr) {
        auto *label = new QLabel(tx(text), this);
        label->setBuddy(widget);
        grid->addWidget(label, row, 0);
        grid->addWidget(widget, row, 1);
        if (beside)
            grid->addWidget(beside, row, 2);
        ++row;
    };
    add(txNoop("Bestell-Nr."), m_lbBestellNr);
    add(txNoop("Beschreibung"), m_lbBeschreibung);
    add(txNoop("Zugangsmenge"), m_edMenge, m_lbBestellmenge);
    add(txNoop("Einkaufspreis"), m_edPreis);
    add(txNoop("Rabatt"), m_edRabatt, new QLabel(u"%"_s, this));
    add(txNoop("Nettopreis"), m_edNetto);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const auto button = [&](const char *name, const char *text, int choice) {
        auto *b = new QPushButton(tx(text), this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [this, choice] {
            if (choice == OrderReceiptCommand::FreeCancelled || quantityValid())
                done(choice + 1); // QDialog's 0 is Rejected
        });
        buttons->addWidget(b);
        return b;
    };
    button("btWeiter", txNoop("Weiter"), OrderReceiptCommand::BookFree)->setDefault(true);
    button("btNeuerLagerartikel", txNoop("Weiter als neuer Lagerartikel"),
           OrderReceiptCommand::BookAsNewArticle);
    button("btCancel", txNoop("Abbrechen"), OrderReceiptCommand::FreeCancelled);
    layout->addLayout(buttons);
    for (QLineEdit *edit : {m_edPreis, m_edRabatt})
        connect(edit, &QLineEdit::editingFinished, this, &TMOD00501Form6::priceLeft);
}

void TMOD00501Form6::Setup(const OrderReceiptCommand::FreeReceipt &io)
{
    const TSystemEinstellungen &suite = TSystemEinstellungen::instance();
    m_lbBestellNr->setText(io.supplierNr);
    m_lbBeschreibung->setText(io.description);
    m_edMenge->setText(floatToText(io.quantity));
    m_lbBestellmenge->setText(
        io.quantity != 0 ? tx("Bestellmenge") + u" : "_s + floatToText(io.quantity) : QString());
    m_edPreis->setText(suite.FormatMoney(io.price));
    m_edRabatt->setText(floatToText(io.discount));
    priceLeft();
}

Money TMOD00501Form6::netPrice() const
{
    const Money price = StrToCurrTolerant(m_edPreis->text(), Money());
    try {
        return ApplyDiscount(TSystemEinstellungen::instance().FullCurrency, price,
                             StrToFloatTolerant(m_edRabatt->text(), 0));
    } catch (const std::range_error &) {
        return Money(); // a discount beyond all sense
    }
}

void TMOD00501Form6::priceLeft()
{
    m_edNetto->setText(TSystemEinstellungen::instance().FormatMoney(netPrice()));
}

bool TMOD00501Form6::quantityValid()
{
    double quantity = 0;
    if (ManualStockChange::ParseQuantity(m_edMenge->text(), quantity) && quantity >= 0)
        return true;
    ShowMessageBox(tx("Geben Sie eine positive Zugangsmenge an!"), MsgDlgType::Error,
                   MsgButton::OK);
    m_edMenge->setFocus();
    return false;
}

int TMOD00501Form6::Finish(int choice, OrderReceiptCommand::FreeReceipt &io)
{
    if (choice == OrderReceiptCommand::FreeCancelled || !quantityValid())
        return OrderReceiptCommand::FreeCancelled;
    ManualStockChange::ParseQuantity(m_edMenge->text(), io.quantity);
    io.discount = StrToFloatTolerant(m_edRabatt->text(), 0);
    // A new stock article applies the discount itself, so it wants the price as entered.
    io.price = choice == OrderReceiptCommand::BookFree
                   ? netPrice()
                   : StrToCurrTolerant(m_edPreis->text(), Money());
    return choice;
}

int TMOD00501Form6::Execute(OrderReceiptCommand::FreeReceipt &io)
{
    Setup(io);
    const int result = exec();
    return Finish(result - 1, io);
}

int TMOD00501Form6::Run(QWidget *parent, OrderReceiptCommand::FreeReceipt &io)
{
    TMOD00501Form6 dialog(parent);
    return dialog.Execute(io);
}
