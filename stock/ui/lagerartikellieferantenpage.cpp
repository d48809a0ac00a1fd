#include "stock/ui/lagerartikellieferantenpage.h"

#include "base/messages.h"
#include "base/translation.h"
#include "base/ui/windowstyle.h"
#include "ordering/selectaddress.h"
#include "stock/lagerserverobj.h"
#include "stock/lieferantenreferenzen.h"
#include "stock/ui/listlines.h"
#include "suite/systemeinstellungen.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
// What the list shows after the supplier's number: the names and the place of the postal
// address, so that two postal addresses of one supplier can be told apart.
QString anschriftText(const TCustomerAnschrift &a)
{
    QStringList parts;
    for (const QString *text : {&a.Name1, &a.Name2, &a.Name3, &a.Name4, &a.Strasse})
        if (!text->trimmed().isEmpty())
            parts << text->trimmed();
    const QString town = (a.Plz.trimmed() + u' ' + a.Ort.trimmed()).trimmed();
    if (!town.isEmpty())
        parts << town;
    return parts.join(u", "_s);
}
} // namespace

TLagerArtikelLieferantenPage::TLagerArtikelLieferantenPage(const TLagerArtikelEditContext &context,
                                                           QWidget *parent)
    : QWidget(parent), m_context(context)
{
    m_list = new QListWidget(this);
    m_list->setObjectName(u"lbLief"_s);
    m_addArticle = new QPushButton(tx("Hinzufuegen eines konkreten Artikels"), this);
    m_addArticle->setObjectName(u"btLiefArtikel"_s);
    m_addSupplier = new QPushButton(tx("Hinzufuegen eines Lieferanten"), this);
    m_addSupplier->setObjectName(u"btLiefAdresse"_s);
    m_addOrderNr = new QPushButton(tx("Hinzufuegen eines Lieferanten mit Bestell-Nr."), this);
    m_addOrderNr->setObjectName(u"btLiefBestellNr"_s);
    m_remove = new QPushButton(tx("Entfernen"), this);
    m_remove->setObjectName(u"btLiefEntfernen"_s);
    m_standard = new QPushButton(tx("Standard-Lieferant"), this);
    m_standard->setObjectName(u"btLiefStandard"_s);
    m_lastEdit = new QLineEdit(this);
    m_lastEdit->setObjectName(u"edLastLief"_s);
    ShowReadOnly(m_lastEdit, true);
    m_clearLast = new QToolButton(this);
    m_clearLast->setObjectName(u"btClearLastLief"_s);
    m_clearLast->setText(u"X"_s);
    m_clearLast->setToolTip(tx("Letzten Lieferanten vergessen"));

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {m_addArticle, m_addSupplier, m_addOrderNr, m_remove, m_standard})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *last = new QHBoxLayout;
    last->addWidget(new QLabel(tx("Letzter Lieferant"), this));
    last->addWidget(m_lastEdit, 1);
    last->addWidget(m_clearLast);
    auto *layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0);
    layout->addLayout(buttons, 0, 1);
    layout->addLayout(last, 1, 0, 1, 2);

    connect(m_addArticle, &QPushButton::clicked, this, [this] { addCatalogArticles(); });
    connect(m_addSupplier, &QPushButton::clicked, this, [this] { addSupplier(); });
    connect(m_addOrderNr, &QPushButton::clicked, this, [this] { addSupplierWithOrderNumber(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(m_standard, &QPushButton::clicked, this, [this] { makeStandard(); });
    connect(m_clearLast, &QToolButton::clicked, this, [this] {
        m_lastKey.clear();
        m_lastText.clear();
        showLastSupplier();
    });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { updateEnabled(); });
    updateEnabled();
}

TLagerArtikelLieferantenPage::~TLagerArtikelLieferantenPage() = default;

void TLagerArtikelLieferantenPage::ShowArticle(TLagerServerObj *article)
{
    m_article = article;
    fillList(0);
}

void TLagerArtikelLieferantenPage::Clear()
{
    ShowArticle(nullptr);
}

void TLagerArtikelLieferantenPage::StoreArticle(TLagerServerObj &) const {}

bool TLagerArtikelLieferantenPage::chooseSupplier()
{
    std::unique_ptr<TCustomerAddress> address;
    if (m_context.chooseAddress) {
        address = m_context.chooseAddress();
    } else if (m_context.settings) {
        const TSystemEinstellungen &s = *m_context.settings;
        address = SelectAddress(s.ProgramDir, s.TmpDir, {s.ClientName, m_context.userName});
    }
    if (!address)
        return false;
    if (address->Anschriften.IsEmpty()) {
        ShowMessageBox(tx("Der Adresse ist keine Anschrift zugeordnet."), MsgDlgType::Error,
                       MsgButton::OK);
        return false;
    }
    const TCustomerAnschrift &first = address->Anschriften.Item(0);
    m_lastKey = SupplierKey(address->Id, first.Id);
    m_lastText = anschriftText(first);
    showLastSupplier();
    return true;
}

bool TLagerArtikelLieferantenPage::addCatalogArticle(const QString &catalog,
                                                     const QString &articleNr)
{
    if (!m_article || !AddCatalogArticleRef(m_article->KatRefs, catalog, articleNr))
        return false;
    fillList(int(m_article->KatRefs.Count() - 1));
    return true;
}

void TLagerArtikelLieferantenPage::addCatalogArticles()
{
    if (!m_article || !m_context.chooseCatalogArticles)
        return;
    const QString search =
        SearchText ? SearchText()
                   : (m_article->LagerArtikelNr + u' ' + m_article->Bezeichnung).trimmed();
    for (const auto &[catalog, nr] : m_context.chooseCatalogArticles(search))
        addCatalogArticle(catalog, nr);
}

void TLagerArtikelLieferantenPage::addSupplier()
{
    if (!m_article || !chooseSupplier())
        return;
    if (AddSupplierRef(m_article->KatRefs, m_lastKey, m_lastText))
        fillList(int(m_article->KatRefs.Count() - 1));
}

void TLagerArtikelLieferantenPage::addSupplierWithOrderNumber()
{
    if (!m_article)
        return;
    if (m_lastKey.isEmpty() && !chooseSupplier())
        return;
    if (AddSupplierOrderNumberRef(m_article->KatRefs, m_lastKey, m_lastText))
        fillList(int(m_article->KatRefs.Count() - 1));
}

void TLagerArtikelLieferantenPage::removeSelected()
{
    const int row = m_list->currentRow();
    if (!m_article || row < 0 || row >= m_article->KatRefs.Count())
        return;
    m_article->KatRefs.Delete(row);
    fillList(row);
}

void TLagerArtikelLieferantenPage::makeStandard()
{
    if (m_article && MakeStandardSupplier(m_article->KatRefs, m_list->currentRow()))
        fillList(0);
}

void TLagerArtikelLieferantenPage::fillList(int select)
{
    QStringList lines;
    if (m_article)
        for (const TDoubleString &ref : m_article->KatRefs)
            lines << SupplierRefText(ref);
    SetListLines(m_list, lines, select);
    updateEnabled();
}

void TLagerArtikelLieferantenPage::updateEnabled()
{
    const int row = m_list->currentRow();
    m_addArticle->setEnabled(m_article && m_context.chooseCatalogArticles);
    m_addSupplier->setEnabled(m_article != nullptr);
    m_addOrderNr->setEnabled(m_article != nullptr);
    m_remove->setEnabled(m_article && row >= 0);
    m_standard->setEnabled(m_article && row > 0);
}

void TLagerArtikelLieferantenPage::showLastSupplier()
{
    m_lastEdit->setText(m_lastKey.isEmpty() ? QString() : SupplierRefText({m_lastKey, m_lastText}));
    m_clearLast->setEnabled(!m_lastKey.isEmpty());
}
