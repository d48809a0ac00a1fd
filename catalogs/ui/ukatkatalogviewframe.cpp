#include "catalogs/ui/ukatkatalogviewframe.h"

#include "base/formatsettings.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "catalogs/katalog1artikelhelper.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "catalogs/katalogviewmodel.h"
#include "catalogs/ui/artikelinfoform.h"
#include "persistence/engine/engineerror.h"
#include "persistence/engine/tdbtable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
void alert(const QString &text)
{
    interaction().desktopAlert(tx("Information"), text, 100, 3000);
}

QString dirOf(const TDatabaseWrapper &db)
{
    return db.DatabaseDirectory();
}
} // namespace

TUKATKatalogViewFrame::TUKATKatalogViewFrame(const QString &catalogDir, const QString &synonymFile,
                                             bool useSynonyms, QWidget *parent)
    : QWidget(parent), edGoTo(new QLineEdit(this)), edSearch(new QLineEdit(this)),
      btSearch(new QPushButton(tx("Suche starten"), this)),
      btEndSearch(new QPushButton(tx("Suche beenden"), this)), vstKatalog(new QTableView(this)),
      m_searchtext(catalogDir, synonymFile), m_useSynonyms(useSynonyms)
{
    edGoTo->setObjectName(u"edGoTo"_s);
    edSearch->setObjectName(u"edSearch"_s);
    vstKatalog->setObjectName(u"vstKatalog"_s);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tx("Gehe zu"), this));
    top->addWidget(edGoTo, 1);
    top->addWidget(new QLabel(tx("Suchtext"), this));
    top->addWidget(edSearch, 2);
    top->addWidget(btSearch);
    top->addWidget(btEndSearch);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(vstKatalog, 1);

    vstKatalog->setSelectionBehavior(QAbstractItemView::SelectRows);
    vstKatalog->setSelectionMode(QAbstractItemView::SingleSelection);
    vstKatalog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vstKatalog->verticalHeader()->hide();
    vstKatalog->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    vstKatalog->setWordWrap(false);
    btEndSearch->setEnabled(false);

    auto *f7 = new QShortcut(QKeySequence(Qt::Key_F7), this);
    f7->setContext(Qt::WidgetWithChildrenShortcut);
    auto *shiftF7 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7), this);
    shiftF7->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f7, &QShortcut::activated, this, &TUKATKatalogViewFrame::StartSearch);
    connect(shiftF7, &QShortcut::activated, this, &TUKATKatalogViewFrame::EndSearch);
    connect(btSearch, &QPushButton::clicked, this, &TUKATKatalogViewFrame::StartSearch);
    connect(btEndSearch, &QPushButton::clicked, this, &TUKATKatalogViewFrame::EndSearch);
    connect(edSearch, &QLineEdit::returnPressed, this, &TUKATKatalogViewFrame::StartSearch);
    connect(edGoTo, &QLineEdit::textEdited, this, [this](const QString &t) { GoTo(t); });
}

TUKATKatalogViewFrame::~TUKATKatalogViewFrame() = default;

void TUKATKatalogViewFrame::SetModel(TKatalogViewModel *model)
{
    model->setParent(this);
    m_model = model;
    vstKatalog->setModel(model);
    // Never narrower than the title: translations may be longer than the suite's widths.
    const QFontMetrics header(vstKatalog->horizontalHeader()->font());
    for (int c = 0; c < int(model->Columns().size()); ++c)
        vstKatalog->setColumnWidth(
            c, std::max(model->Columns()[size_t(c)].width,
                        header.horizontalAdvance(model->headerData(c, Qt::Horizontal).toString()) +
                            24));
    vstKatalog->horizontalHeader()->setStretchLastSection(false);
    if (model->rowCount() > 0)
        SelectRow(0);
}

void TUKATKatalogViewFrame::SelectRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    vstKatalog->setCurrentIndex(index);
    vstKatalog->scrollTo(index, QAbstractItemView::PositionAtTop);
}

QString TUKATKatalogViewFrame::FocusedArticleNr() const
{
    const QModelIndex current = vstKatalog->currentIndex();
    return current.isValid() ? m_model->ArticleNr(current.row()) : QString();
}

void TUKATKatalogViewFrame::GoTo(const QString &text)
{
    if (text.isEmpty())
        return;
    if (m_model->ShowingHits())
        SelectRow(m_searchtext.Position(text, false));
    else
        SelectRow(m_model->RowOfNearest(text));
}

void TUKATKatalogViewFrame::StartSearch()
{
    if (!m_searchtext.Search(edSearch->text(), m_useSynonyms, true) || m_searchtext.Cancelled())
        return;
    if (m_searchtext.ResultCount() == 0) {
        alert(tx("Nichts gefunden."));
        return;
    }
    m_model->ShowHits(m_searchtext.Results());
    btEndSearch->setEnabled(true);
    SelectRow(0);
    QString seconds = QString::number(m_searchtext.Duration(), 'f', 3);
    seconds.replace(u'.', FormatSettings::current().decimalSeparator);
    alert(formatText(tx("%d Treffer in %s Sekunden"),
                     {QString::number(m_searchtext.ResultCount()), seconds}));
}

void TUKATKatalogViewFrame::EndSearch()
{
    const QString nr = FocusedArticleNr();
    m_model->ShowAll();
    btEndSearch->setEnabled(false);
    SelectRow(nr.isEmpty() ? 0 : m_model->RowOfNearest(nr));
}

// ---- simple catalog --------------------------------------------------------------------------

TUKAT2KatalogViewFrame::TUKAT2KatalogViewFrame(TKatalog2DB &db, const IniFile &settings,
                                               QWidget *parent)
    : TUKATKatalogViewFrame(dirOf(db), QString(), false, parent), m_db(db)
{
    SetModel(new TKatalog2ViewModel(db, settings));
    vstKatalog->horizontalHeader()->setSectionsClickable(true);
    connect(vstKatalog->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        Model().sort(column);
        SelectRow(0);
    });
    connect(edGoTo, &QLineEdit::returnPressed, this, &TUKAT2KatalogViewFrame::goToEAN);
}

void TUKAT2KatalogViewFrame::GoTo(const QString &text)
{
    // An EAN is looked up whole, on Enter: a part of one names nothing.
    if (!EANMode)
        TUKATKatalogViewFrame::GoTo(text);
}

void TUKAT2KatalogViewFrame::goToEAN()
{
    const QString ean = edGoTo->text().trimmed();
    if (!EANMode || ean.isEmpty())
        return;
    QString nr;
    try {
        nr = m_db.ArticleNrOfEAN(ean);
    } catch (const EngineError &e) {
        ReportMessage(MessageKind::Error, e.message());
        return;
    }
    if (nr.isEmpty()) {
        alert(formatText(tx("EAN \"%s\" nicht gefunden."), {ean}));
        return;
    }
    if (Model().ShowingHits())
        EndSearch();
    SelectRow(Model().RowOfNearest(nr));
}

// ---- DATANORM catalog ------------------------------------------------------------------------

TUKAT1KatalogViewFrame::TUKAT1KatalogViewFrame(TKatalog1DB &db, const IniFile &settings,
                                               QWidget *parent)
    : TUKATKatalogViewFrame(dirOf(db), dirOf(db) + u"STXSYNONYM.TXT"_s, true, parent), m_db(db),
      btDetails(new QPushButton(tx("Details"), this))
{
    if (!db.Catalog().Active())
        ReportMessage(MessageKind::Error, tx("Tabelle nicht gefunden - LoadKatalog1Index."));
    SetModel(new TKatalog1ViewModel(db, settings));
    static_cast<QBoxLayout *>(layout()->itemAt(0)->layout())->addWidget(btDetails);
    connect(btDetails, &QPushButton::clicked, this, &TUKAT1KatalogViewFrame::ShowDetails);
    connect(vstKatalog, &QTableView::doubleClicked, this, &TUKAT1KatalogViewFrame::ShowDetails);
    ShowInfo = [this](const QString &html) {
        TArtikelinfoForm form(html, this);
        form.exec();
    };
}

void TUKAT1KatalogViewFrame::ShowDetails()
{
    const QString nr = FocusedArticleNr();
    if (nr.isEmpty())
        return;
    TKatalog1Artikel article;
    article.ArtikelNr = nr;
    if (m_db.ReadArticle(article) != 0)
        return;
    ShowInfo(TKatalog1ArtikelHelper::Html(article, m_db.DatabaseDirectory()));
}
