#include "catalogs/ui/ukat2artikelauswahlform1.h"

#include "base/messages.h"
#include "base/translation.h"
#include "base/ui/windowstyle.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/ui/ukatkatalogauswahl.h"
#include "catalogs/ui/ukatkatalogviewframe.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter belongs to "Zum Speicher hinzufuegen"; no button may take it as the default.
    b->setAutoDefault(false);
    return b;
}

// The article as the page reads it for the Speicher: DATANORM articles with long text,
// surcharge and graphics. Null when the catalog no longer holds the number.
std::unique_ptr<TDBXMLCoreObject> readFully(TDatabaseWrapper &db, const QString &nr)
{
    if (auto *dn = dynamic_cast<TKatalog1DB *>(&db)) {
        auto a = std::make_unique<TKatalog1Artikel>();
        a->ArtikelNr = nr;
        return dn->ReadArticle(*a) == 0 ? std::move(a) : nullptr;
    }
    if (auto *simple = dynamic_cast<TKatalog2DB *>(&db)) {
        auto a = std::make_unique<TKatalog2Artikel>();
        a->ArtikelNr = nr;
        return simple->ReadArticle(*a) == 0 ? std::move(a) : nullptr;
    }
    return nullptr;
}

void setCatalog(TDBXMLCoreObject &article, const QString &catalog)
{
    if (auto *a = dynamic_cast<TKatalog1Artikel *>(&article))
        a->Katalog = catalog;
    else if (auto *b = dynamic_cast<TKatalog2Artikel *>(&article))
        b->Katalog = catalog;
}
} // namespace

TUKAT2ArtikelAuswahlForm1::TUKAT2ArtikelAuswahlForm1(TKatalogDBPool &pool, IniFile viewSettings,
                                                     QWidget *parent)
    : QDialog(parent), m_pool(pool), m_viewSettings(std::move(viewSettings)),
      m_clip(std::make_unique<TKatalogDBClipBoard>()), m_pages(new QTabWidget(this)),
      m_list(new QListWidget(this))
{
    setObjectName(u"UKAT2ArtikelAuswahlForm1"_s);
    m_pages->setObjectName(u"pcKataloge"_s);
    m_list->setObjectName(u"lbSpeicher"_s);

    QPushButton *btOpen = button(this, "btKatalogOeffnen", tx("Katalog oeffnen"));
    m_btClose = button(this, "btKatalogSchliessen", tx("Katalog schliessen"));
    m_btAdd = button(this, "btHinzufuegen", tx("Zum Speicher hinzufuegen"));
    m_btClear = button(this, "btSpeicherLoeschen", tx("Speicher loeschen"));
    QPushButton *btTake = button(this, "btUebernehmen", tx("Uebernehmen") + u" (F8)"_s);
    QPushButton *btCancel = button(this, "btAbbrechen", tx("Abbrechen"));

    auto *catalogButtons = new QHBoxLayout;
    catalogButtons->addWidget(btOpen);
    catalogButtons->addWidget(m_btClose);
    catalogButtons->addStretch(1);
    catalogButtons->addWidget(m_btAdd);
    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_pages, 1);
    leftLayout->addLayout(catalogButtons);

    auto *right = new QWidget(this);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(new QLabel(tx("Speicher"), right));
    rightLayout->addWidget(m_list, 1);
    rightLayout->addWidget(m_btClear);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    // The Speicher lines carry catalog, number and text: wide enough to tell them apart.
    splitter->setSizes({680, 420});

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btTake);
    bottom->addWidget(btCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);

    ChooseCatalog = [] {
        QString name;
        return TUKATKatalogAuswahl::Select(name, true) ? name : QString();
    };
    connect(btOpen, &QPushButton::clicked, this, [this] { OpenCatalog(); });
    connect(m_btClose, &QPushButton::clicked, this, &TUKAT2ArtikelAuswahlForm1::CloseCatalog);
    connect(m_btAdd, &QPushButton::clicked, this, [this] { AddFocused(); });
    connect(m_btClear, &QPushButton::clicked, this, &TUKAT2ArtikelAuswahlForm1::ClearClipboard);
    connect(btTake, &QPushButton::clicked, this, &TUKAT2ArtikelAuswahlForm1::Take);
    connect(btCancel, &QPushButton::clicked, this, &TUKAT2ArtikelAuswahlForm1::Cancel);
    auto *f8 = new QShortcut(QKeySequence(Qt::Key_F8), this);
    connect(f8, &QShortcut::activated, this, &TUKAT2ArtikelAuswahlForm1::Take);
    connect(m_pages, &QTabWidget::currentChanged, this, [this] { updateEnabled(); });
    resize(1120, 600);
    updateEnabled();
}

TUKAT2ArtikelAuswahlForm1::~TUKAT2ArtikelAuswahlForm1() = default;

void TUKAT2ArtikelAuswahlForm1::Begin(const QString &caption, const QString &searchText)
{
    setWindowTitle(u"[UKAT2 - KA1] - "_s + formatText(tx("Artikelauswahl: %s"), {caption}));
    m_clip = std::make_unique<TKatalogDBClipBoard>();
    fillList(-1);
    if (!searchText.isEmpty() && m_pages->count() > 0) {
        m_pages->setCurrentIndex(0);
        auto *view = static_cast<TUKATKatalogViewFrame *>(m_pages->widget(0));
        view->SearchEdit()->setText(searchText);
        // The user still starts the search: a word index search of a large catalog waits.
        view->SearchEdit()->setFocus();
    } else if (TUKATKatalogViewFrame *view = CurrentView()) {
        view->Grid()->setFocus();
    }
}

std::unique_ptr<TKatalogDBClipBoard> TUKAT2ArtikelAuswahlForm1::TakeClipboard()
{
    auto taken = std::move(m_clip);
    m_clip = std::make_unique<TKatalogDBClipBoard>();
    fillList(-1);
    return taken;
}

std::unique_ptr<TKatalogDBClipBoard> TUKAT2ArtikelAuswahlForm1::Select(const QString &caption,
                                                                       const QString &searchText)
{
    Begin(caption, searchText);
    exec();
    return TakeClipboard();
}

TUKATKatalogViewFrame *TUKAT2ArtikelAuswahlForm1::CurrentView() const
{
    return static_cast<TUKATKatalogViewFrame *>(m_pages->currentWidget());
}

void TUKAT2ArtikelAuswahlForm1::OpenCatalog()
{
    const QString name = ChooseCatalog ? ChooseCatalog() : QString();
    if (!name.isEmpty())
        OpenCatalog(name);
}

bool TUKAT2ArtikelAuswahlForm1::OpenCatalog(const QString &name)
{
    for (int i = 0; i < m_pages->count(); ++i)
        if (m_pages->tabText(i).compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            m_pages->setCurrentIndex(i);
            return true;
        }
    TKatalogDBPoolItem *item = m_pool.GetItem(name, true);
    TDatabaseWrapper *db = nullptr;
    try {
        db = item ? item->GetDB() : nullptr;
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::Error, QString::fromUtf8(e.what()), nullptr, &e);
        return false;
    }
    TUKATKatalogViewFrame *view = nullptr;
    if (auto *dn = dynamic_cast<TKatalog1DB *>(db))
        view = new TUKAT1KatalogViewFrame(*dn, m_viewSettings, m_pages);
    else if (auto *simple = dynamic_cast<TKatalog2DB *>(db))
        view = new TUKAT2KatalogViewFrame(*simple, m_viewSettings, m_pages);
    if (!view) {
        ShowMessageBoxFmt(tx("Katalog \"%s\" nicht gefunden."), {name}, MsgDlgType::Error,
                          MsgButton::OK);
        return false;
    }
    m_pages->setCurrentIndex(m_pages->addTab(view, item->CatalogName));
    view->Grid()->setFocus();
    updateEnabled();
    return true;
}

void TUKAT2ArtikelAuswahlForm1::CloseCatalog()
{
    // The catalog itself stays open in the pool; only its page goes.
    if (QWidget *page = m_pages->currentWidget()) {
        m_pages->removeTab(m_pages->currentIndex());
        delete page;
    }
    updateEnabled();
}

bool TUKAT2ArtikelAuswahlForm1::AddFocused()
{
    TUKATKatalogViewFrame *view = CurrentView();
    const QString nr = view ? view->FocusedArticleNr() : QString();
    if (nr.isEmpty())
        return false;
    const QString catalog = m_pages->tabText(m_pages->currentIndex());
    TDatabaseWrapper *db = m_pool.GetDB(catalog, false);
    std::unique_ptr<TDBXMLCoreObject> article = db ? readFully(*db, nr) : nullptr;
    if (!article)
        return false;
    setCatalog(*article, catalog);
    if (!m_clip->AddIfNew(std::move(article))) {
        // The number is in the Speicher already, perhaps from another catalog: show which.
        for (qsizetype i = 0; i < m_clip->Count(); ++i)
            if (m_clip->ArtikelNr(i) == nr)
                m_list->setCurrentRow(int(i));
        return false;
    }
    fillList(int(m_clip->Count() - 1));
    return true;
}

void TUKAT2ArtikelAuswahlForm1::ClearClipboard()
{
    m_clip->Clear();
    fillList(-1);
}

void TUKAT2ArtikelAuswahlForm1::Take()
{
    if (m_clip->IsEmpty())
        AddFocused();
    accept();
}

void TUKAT2ArtikelAuswahlForm1::Cancel()
{
    reject();
}

void TUKAT2ArtikelAuswahlForm1::reject()
{
    ClearClipboard();
    QDialog::reject();
}

void TUKAT2ArtikelAuswahlForm1::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter in the go-to and search fields is theirs; it must not close the window.
        if (!qobject_cast<QLineEdit *>(focusWidget()))
            AddFocused();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TUKAT2ArtikelAuswahlForm1::fillList(int select)
{
    m_list->clear();
    for (qsizetype i = 0; i < m_clip->Count(); ++i)
        m_list->addItem(formatText(
            u"%s: %s - %s"_s, {m_clip->KatalogName(i), m_clip->ArtikelNr(i), m_clip->Text(i)}));
    if (select >= 0)
        m_list->setCurrentRow(select);
    updateEnabled();
}

void TUKAT2ArtikelAuswahlForm1::updateEnabled()
{
    const bool page = m_pages->count() > 0;
    m_btClose->setEnabled(page);
    m_btAdd->setEnabled(page);
    m_btClear->setEnabled(m_clip && !m_clip->IsEmpty());
}
