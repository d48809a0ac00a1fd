#include "movements/ui/lsnform1.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/datetime.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
enum Column { SN, Info, Lieferant, Zugang };
} // namespace

TLSNForm1::TLSNForm1(PasswordCheck checkPassword, PasswordPrompt askPassword, QWidget *parent)
    : QDialog(parent), m_checkPassword(std::move(checkPassword)),
      m_askPassword(std::move(askPassword))
{
    setObjectName(u"LSNForm1"_s);
    setWindowTitle(u"[LSN - 01] - "_s + tx("Seriennummern zum Lagerartikel."));
    if (!m_askPassword)
        m_askPassword = [this](QString &password) {
            bool ok = false;
            password = QInputDialog::getText(this, tx("Passwort"), tx("Passwort"),
                                             QLineEdit::Password, QString(), &ok);
            return ok;
        };
    auto *layout = new QVBoxLayout(this);
    for (auto [label, name] :
         {std::pair{&m_lbArtikelNr, u"lbArtikelNr"_s},
          std::pair{&m_lbBezeichnung, u"lbBezeichnung"_s}, std::pair{&m_lbAnzahl, u"lbAnzahl"_s}}) {
        *label = new QLabel(this);
        (*label)->setObjectName(name);
        layout->addWidget(*label);
    }
    m_grid = new QTableWidget(0, 4, this);
    m_grid->setObjectName(u"vstSeriennummern"_s);
    m_grid->setHorizontalHeaderLabels(
        {tx("Seriennummer"), tx("Info"), tx("Lieferant"), tx("Zugang")});
    m_grid->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_grid, 1);

    auto *buttons = new QHBoxLayout;
    auto *btEdit = new QPushButton(tx("Seriennummern bearbeiten"), this);
    btEdit->setObjectName(u"btBearbeiten"_s);
    btEdit->setAutoDefault(false);
    buttons->addWidget(btEdit);
    buttons->addStretch(1);
    auto *btOK = new QPushButton(tx("OK"), this);
    btOK->setObjectName(u"btOK"_s);
    buttons->addWidget(btOK);
    layout->addLayout(buttons);
    connect(btEdit, &QPushButton::clicked, this, &TLSNForm1::UnlockSerialNumbers);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_grid, &QTableWidget::itemChanged, this, &TLSNForm1::cellEdited);
}

void TLSNForm1::Setup(const QString &nr, const QString &description,
                      const TSeriennummerObjectList &rows, SerialViewCommand::Post post)
{
    m_rows = rows;
    m_post = std::move(post);
    m_unlocked = false;
    m_lbArtikelNr->setText(tx("Artikel-Nr.") + u": "_s + nr);
    m_lbBezeichnung->setText(description);
    m_lbAnzahl->setText(
        formatText(tx("%d Seriennummern vorhanden."), {QString::number(m_rows.Count())}));
    fill();
}

void TLSNForm1::Execute(const QString &nr, const QString &description,
                        const TSeriennummerObjectList &rows, const SerialViewCommand::Post &post)
{
    Setup(nr, description, rows, post);
    exec();
}

void TLSNForm1::fill()
{
    m_filling = true;
    m_grid->setRowCount(int(m_rows.Count()));
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const TSeriennummer &s = m_rows.Item(row);
        const QString cells[] = {s.SN, s.INFO, s.LIEFERANT,
                                 s.ZUGANG == 0 ? QString() : DateTime::toText(s.ZUGANG)};
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == Zugang || (c == SN && !m_unlocked))
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            m_grid->setItem(row, c, item);
        }
    }
    m_filling = false;
}

void TLSNForm1::UnlockSerialNumbers()
{
    ShowMessageBox(tx("Fuer diese Funktion ist das Passwort des Systemverwalters erforderlich."),
                   MsgDlgType::Information, MsgButton::OK);
    QString password;
    if (!m_askPassword(password))
        return;
    if (!m_checkPassword || !m_checkPassword(password)) {
        ShowMessageBox(tx("Falsches Passwort."), MsgDlgType::Error, MsgButton::OK);
        return;
    }
    ShowMessageBox(tx("Die Seriennummern koennen nun bearbeitet werden. Aenderungen werden "
                      "sofort uebernommen."),
                   MsgDlgType::Information, MsgButton::OK);
    m_unlocked = true;
    fill();
}

void TLSNForm1::cellEdited(QTableWidgetItem *item)
{
    if (m_filling || item->row() >= m_rows.Count())
        return;
    const TSeriennummer before = m_rows.Item(item->row());
    TSeriennummer after = before;
    const QString text = item->text().trimmed();
    switch (item->column()) {
    case SN:
        after.SN = text;
        break;
    case Info:
        after.INFO = text;
        break;
    case Lieferant:
        after.LIEFERANT = text;
        break;
    default:
        return;
    }
    const bool posted = after != before && m_post && m_post(before, after);
    if (posted)
        m_rows.Item(item->row()) = after;
    // Shows what the table holds now: the trimmed text, or the old one after a refusal.
    const TSeriennummer &now = posted ? after : before;
    m_filling = true;
    item->setText(item->column() == SN     ? now.SN
                  : item->column() == Info ? now.INFO
                                           : now.LIEFERANT);
    m_filling = false;
}
