#include "app/ui/mod00501form1.h"

#include "app/ui/fasteditmenu.h"
#include "app/ui/mod00501form2.h"
#include "base/ui/listeditdialog.h"
#include "base/ui/windowstyle.h"
#include "base/inifile.h"
#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "catalogs/datanorm/datanormimportcommand.h"
#include "catalogs/katalogdbpool.h"
#include "catalogs/katalogtransfer.h"
#include "catalogs/ui/datanormimportdialog.h"
#include "catalogs/ui/ukat2artikelauswahlform1.h"
#include "catalogs/ui/ukatkatalogauswahl.h"
#include "movements/freelinearticle.h"
#include "movements/groupingeditor.h"
#include "movements/orderreceiptcommand.h"
#include "movements/receiptcommand.h"
#include "movements/tablereceiptcommand.h"
#include "movements/ui/mod00501form11.h"
#include "movements/ui/mod00501form3.h"
#include "movements/ui/mod00501form6.h"
#include "movements/ui/mod00501form8.h"
#include "movements/ui/mod00501form7.h"
#include "movements/ui/movementdialogs.h"
#include "ordering/bestellserverobj.h"
#include "ordering/bestellwesenconfig.h"
#include "ordering/orderingconfigloader.h"
#include "ordering/ui/mod00501form5.h"
#include "persistence/datetime.h"
#include "persistence/engine/tdbtable.h"
#include "printing/ui/mod00501form10.h"
#include "printing/ui/mod00501form9.h"
#include "stock/articlecommands.h"
#include "stock/fasteditcommands.h"
#include "stock/modlagerdbserverobj.h"
#include "stock/seriennummer.h"
#include "stock/ui/lageranzeigenframe.h"
#include "stock/ui/lagerartikelframe1.h"
#include "suite/systemeinstellungen.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

int estimatedMenuHeight(int entries, int separators)
{
    return 5 + 26 * entries + 4 * separators;
}

QPoint menuPositionAbove(QPoint buttonTopLeft, int entries, int separators)
{
    return {buttonTopLeft.x(), buttonTopLeft.y() - estimatedMenuHeight(entries, separators)};
}

namespace
{

QAction *addEntry(QMenu *menu, const char *name, const char *caption, int tag)
{
    QAction *action = menu->addAction(tx(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setData(tag);
    action->setProperty("tag", tag);
    return action;
}

} // namespace

TMOD00501Form1::TMOD00501Form1(MainWindowContext context, QWidget *parent)
    : QMainWindow(parent), m_context(std::move(context))
{
    setObjectName(u"MOD00501Form1"_s);
    setWindowTitle(u"[0501 - 01] - "_s + m_context.client + u" - "_s +
                   tx("Lagerartikel verwalten") + u" / "_s + tx("Warenzugang"));
    setMinimumSize(1024, 690);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    m_centralLayout = layout;

    m_panel = new QWidget(central);
    m_panel->setObjectName(u"Panel1"_s);
    m_panel->setProperty("tag", 1); // colour scheme: button panels
    m_panelLayout = new QHBoxLayout(m_panel);
    layout->addWidget(m_panel);
    setCentralWidget(central);

    m_btNew = addButton("btNew", txNoop("Neu"));
    m_btNew->setText(m_btNew->text() + u" (F2)"_s);
    QPushButton *btCopy = addButton("btCopy", txNoop("Kopieren"));
    m_btEdit = addButton("btEditArtikel", txNoop("Bearbeiten"));
    QPushButton *btFast = addButton("btFastEdit", txNoop("Schnellbearbeitung"));
    QPushButton *btDelete = addButton("btDelete", txNoop("Loeschen"));
    QPushButton *btFunc = addButton("btFunktionen", txNoop("Funktionen"));
    QPushButton *btGroupings = addButton("TntButton1", txNoop("Artikelgruppierungen"));
    m_panelLayout->addStretch(1);
    m_btQuit = addButton("InfoButton1", txNoop("Beenden"));
    m_btQuit->setText(m_btQuit->text() + u" (F12)"_s);

    m_functions = new QMenu(this);
    m_functions->setObjectName(u"BarPopupMenu1"_s);
    addEntry(m_functions, "miLagerDrucken", txNoop("Lager drucken"), 108);
    QAction *labels = addEntry(m_functions, "Etikettendrucken1", txNoop("Etiketten drucken"), 106);
    QAction *importAll =
        addEntry(m_functions, "miImportKatalog", txNoop("Kompletten Katalog importieren"), 107);
    QAction *importSome = addEntry(m_functions, "Katalogartikelimportieren1",
                                   txNoop("Katalogartikel importieren"), 103);
    QAction *importDatanorm = m_functions->addAction(tx("DATANORM-Katalog importieren"));
    importDatanorm->setObjectName(u"miImportDatanorm"_s);
    m_functions->addSeparator();
    addEntry(m_functions, "miZugangBestTab",
             txNoop("Warenzugang auf Grundlage einer Bestellung - tabellarisch"), 105);
    addEntry(m_functions, "miZugangBestEinz",
             txNoop("Warenzugang auf Grundlage einer Bestellung - einzeln"), 102);
    addEntry(m_functions, "miZugangEinzeln", txNoop("Warenzugang fuer aktuellen Lagerartikel"),
             101);
    m_functions->addSeparator();
    QAction *stock = addEntry(m_functions, "pmFuncEditBestand",
                              txNoop("Bestand des Lagerartikels manuell aendern"), 104);
    QAction *serials = addEntry(m_functions, "SeriennummernzumLagerartikel1",
                                txNoop("Seriennummern zum Lagerartikel anzeigen"), 100);

    connect(importAll, &QAction::triggered, this, &TMOD00501Form1::importWholeCatalog);
    connect(importSome, &QAction::triggered, this, &TMOD00501Form1::importCatalogArticles);
    connect(importDatanorm, &QAction::triggered, this, &TMOD00501Form1::importDatanorm);
    connect(m_functions->findChild<QAction *>(u"miZugangBestEinz"_s), &QAction::triggered, this,
            &TMOD00501Form1::receiveOrderLines);
    connect(m_functions->findChild<QAction *>(u"miZugangBestTab"_s), &QAction::triggered, this,
            &TMOD00501Form1::receiveOrderTable);
    connect(m_functions->findChild<QAction *>(u"miZugangEinzeln"_s), &QAction::triggered, this,
            &TMOD00501Form1::receiveGoods);
    connect(stock, &QAction::triggered, this, &TMOD00501Form1::changeStock);
    connect(serials, &QAction::triggered, this, &TMOD00501Form1::showSerials);
    connect(labels, &QAction::triggered, this, &TMOD00501Form1::showLabelWindow);
    connect(m_functions->findChild<QAction *>(u"miLagerDrucken"_s), &QAction::triggered, this,
            &TMOD00501Form1::printStock);

    m_fastEdit = new TFastEditMenu(this);
    connect(m_fastEdit, &TFastEditMenu::fieldEdit, this, &TMOD00501Form1::fastEditField);
    connect(m_fastEdit, &TFastEditMenu::valueChosen, this, &TMOD00501Form1::fastEditValue);
    connect(m_fastEdit, &TFastEditMenu::editList, this, &TMOD00501Form1::fastEditList);

    connect(m_btNew, &QPushButton::clicked, this, &TMOD00501Form1::newArticle);
    connect(btCopy, &QPushButton::clicked, this, &TMOD00501Form1::copyArticle);
    connect(m_btEdit, &QPushButton::clicked, this, &TMOD00501Form1::editArticle);
    connect(btFast, &QPushButton::clicked, this, &TMOD00501Form1::fastEdit);
    connect(btDelete, &QPushButton::clicked, this, &TMOD00501Form1::deleteArticles);
    connect(btFunc, &QPushButton::clicked, this, [this, btFunc] {
        m_functions->popup(menuPositionAbove(btFunc->mapToGlobal(QPoint(0, 0)), 10, 2));
    });
    connect(btGroupings, &QPushButton::clicked, this, &TMOD00501Form1::editGroupings);
    connect(m_btQuit, &QPushButton::clicked, this, &QWidget::close);
}

QPushButton *TMOD00501Form1::addButton(const char *name, const char *caption)
{
    auto *button = new QPushButton(tx(caption), m_panel);
    button->setObjectName(QString::fromLatin1(name));
    m_panelLayout->addWidget(button);
    return button;
}

void TMOD00501Form1::disableGoodsReceipt()
{
    for (const char *name : {"miZugangEinzeln", "miZugangBestEinz", "miZugangBestTab"})
        m_functions->findChild<QAction *>(QString::fromLatin1(name))->setEnabled(false);
}

bool TMOD00501Form1::checkRight(const QString &right, const char *refusal) const
{
    if (m_context.hasRight(right))
        return true;
    ShowMessageBox(tx(refusal), MsgDlgType::Information, MsgButton::OK);
    return false;
}

bool TMOD00501Form1::checkSelection() const
{
    if (m_frame && !m_frame->SelectedRows().isEmpty())
        return true;
    interaction().desktopAlert(tx("Information"),
                               tx("Waehlen Sie erst eine oder mehrere Zeilen aus!"), 100, 3000);
    return false;
}

QMenu *TMOD00501Form1::fastEditMenu() const
{
    return m_fastEdit;
}

QTreeView *TMOD00501Form1::stockList() const
{
    return m_frame ? m_frame->Grid() : nullptr;
}

TMOD00501Form1::~TMOD00501Form1()
{
    freeStock();
}

void TMOD00501Form1::attachStock(std::unique_ptr<TKatalogDBPool> pool, IModLagerDBServerObj *db,
                                 TLagerAnzeigenFrame *frame)
{
    m_pool = std::move(pool);
    m_db = db;
    m_frame = frame;
    IModLagerDBServerObj *stockDb = m_db ? m_db : &frame->Database();
    m_context.editContext.bookings = [stockDb](const QString &nr) {
        TLagerBuchungList rows;
        stockDb->ReadBookings(nr, rows);
        return rows;
    };
    m_context.editContext.chooseCatalogArticles = [this](const QString &searchText) {
        QList<std::pair<QString, QString>> chosen;
        const std::unique_ptr<TKatalogDBClipBoard> clip =
            articleChoice()->Select(tx("Hinzufuegen eines konkreten Artikels"), searchText);
        for (qsizetype i = 0; i < clip->Count(); ++i)
            chosen.append({clip->KatalogName(i), clip->ArtikelNr(i)});
        return chosen;
    };
    if (!m_receiptWindow) {
        const auto chooseAddress = m_context.editContext.chooseAddress;
        m_receiptWindow = new TMOD00501Form3(
            m_context.editContext,
            GoodsReceipt(GoodsReceipt::Settings::FromSuite(m_context.editContext.stockDir)),
            m_context.etcDir.isEmpty() ? QString()
                                       : QDir(m_context.etcDir).filePath(u"MOD00501.INI"_s),
            [this, chooseAddress](TSeriennummerObjectList &serials,
                                  const TLagerArtikelDaten &article, const QStringList &inStock,
                                  QString &supplier) {
                TMOD00501Form7 dialog(chooseAddress, m_receiptWindow);
                return dialog.Execute(serials, article, true, inStock, supplier);
            },
            [stockDb](const QString &nr) {
                QStringList inStock;
                stockDb->SerialsOfArticle(nr, inStock);
                stockDb->SerialTable().SetFiltered(false);
                return inStock;
            },
            this);
        connect(this, &TMOD00501Form1::stockConfigChanged, m_receiptWindow,
                &TMOD00501Form3::ReloadConfiguration);
    }
    m_centralLayout->insertWidget(0, frame, 1);
    QTreeView *grid = frame->Grid();
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this, grid](QPoint at) { m_functions->popup(grid->viewport()->mapToGlobal(at)); });
    connect(grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        // the counted-stock column edits in place instead
        if (!(index.flags() & Qt::ItemIsEditable))
            m_btEdit->click();
    });
    grid->setFocus();
    m_fastEdit->Rebuild(frame->Config());
}

void TMOD00501Form1::freeStock()
{
    delete m_articleChoice;
    m_articleChoice = nullptr;
    delete m_receiptWindow;
    m_receiptWindow = nullptr;
    delete m_articleWindow;
    m_articleWindow = nullptr;
    delete m_labelWindow; // reads the stock list's selection, so before the frame goes
    m_labelWindow = nullptr;
    delete m_frame;
    m_frame = nullptr;
    m_db = nullptr;
    m_pool.reset(); // closes the stock database after the frame let go of its own
}

void TMOD00501Form1::fastEdit()
{
    if (!checkRight(u"42"_s, txNoop("Sie sind nicht berechtigt, Artikel zu bearbeiten!")) ||
        !checkSelection())
        return;
    auto *button = findChild<QPushButton *>(u"btFastEdit"_s);
    m_fastEdit->popup(menuPositionAbove(button->mapToGlobal(QPoint(0, 0)), 11, 0));
}

void TMOD00501Form1::deleteArticles()
{
    if (!checkRight(u"43"_s, txNoop("Sie sind nicht berechtigt, Artikel zu loeschen!")) ||
        !checkSelection())
        return;
    if (ShowMessageBox(tx("Moechten Sie die markierten Artikel wirklich loeschen?"),
                       MsgDlgType::Confirmation, MsgButton::YesNo) != ModalResult::Yes)
        return;
    const QList<int> rows = m_frame->SelectedRows();
    auto progress = interaction().progress(tx("Loeschen"), int(rows.size()));
    IModLagerDBServerObj &db = m_db ? *m_db : m_frame->Database();
    db.Refresh();
    int removed = 0; // rows above the current one shift up as their articles go
    int firstRemoved = -1;
    for (int row : rows) {
        if (progress->cancelled())
            break;
        progress->step();
        const int current = row - removed;
        const TDBLagerSearchResult *entry = m_frame->Model().Entry(current);
        const QString nr = entry ? entry->ArtikelNr().toString() : QString();
        if (nr.isEmpty())
            continue;
        auto lock = db.LockRecord(m_context.userFullName, nr);
        if (!lock)
            continue; // another user works on it: it stays, without a message
        if (db.DeleteArticle(nr) == 0) {
            m_frame->RemoveRow(current);
            if (firstRemoved < 0)
                firstRemoved = current;
            ++removed;
        }
        TDatabaseStoreBase::Unlock(lock);
    }
    // The next Del or edit needs a row: the one that followed the first deleted article, or
    // the new last one when the deleted articles were at the end.
    if (firstRemoved >= 0)
        m_frame->SelectRow(firstRemoved);
}

ArticleCommands TMOD00501Form1::articleCommands()
{
    ArticleCommands::Hooks hooks;
    hooks.selectedArticleNr = [this] { return m_frame->SelectedArticleNr(); };
    hooks.updateArticle = [this](const TLagerServerObj &a) { m_frame->UpdateArticle(a); };
    hooks.gotoArticle = [this](const QString &nr) { m_frame->GotoArticle(nr); };
    hooks.showArticleWindow = [this](TLagerServerObj &a, bool existing) {
        return showArticleWindow(a, existing);
    };
    return ArticleCommands(m_db ? *m_db : m_frame->Database(), m_context.editContext.stockDir,
                           m_context.userFullName, std::move(hooks));
}

void TMOD00501Form1::importWholeCatalog()
{
    if (!m_pool)
        return;
    KatalogTransfer::Hooks hooks;
    hooks.selectCatalog = [] {
        QString name;
        return TUKATKatalogAuswahl::Select(name, true) ? name : QString();
    };
    hooks.refreshList = [this] { m_frame->LoadAll(); };
    KatalogTransfer::Settings settings = KatalogTransfer::Settings::FromSystem();
    settings.userFullName = m_context.userFullName;
    KatalogTransfer transfer(*m_pool, m_db ? *m_db : m_frame->Database(), settings,
                             std::move(hooks));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    transfer.ImportCatalog();
    QGuiApplication::restoreOverrideCursor();
}

TUKAT2ArtikelAuswahlForm1 *TMOD00501Form1::articleChoice()
{
    if (!m_articleChoice) {
        m_articleChoice = new TUKAT2ArtikelAuswahlForm1(
            *m_pool,
            m_context.etcDir.isEmpty() ? IniFile()
                                       : IniFile(QDir(m_context.etcDir).filePath(u"MOD00501.INI"_s)),
            this);
        ApplyWindowStyle(m_articleChoice, false, 1);
    }
    return m_articleChoice;
}

void TMOD00501Form1::importCatalogArticles()
{
    if (!m_pool)
        return;
    KatalogTransfer::Hooks hooks;
    hooks.selectArticles = [this](const QString &caption) {
        return articleChoice()->Select(caption);
    };
    hooks.showArticleWindow = [this](TLagerServerObj &record) {
        return showArticleWindow(record, false);
    };
    hooks.updateArticle = [this](const TLagerServerObj &a) { m_frame->UpdateArticle(a); };
    hooks.gotoArticle = [this](const QString &nr) { m_frame->GotoArticle(nr); };
    KatalogTransfer::Settings settings = KatalogTransfer::Settings::FromSystem();
    settings.userFullName = m_context.userFullName;
    KatalogTransfer transfer(*m_pool, m_db ? *m_db : m_frame->Database(), settings,
                             std::move(hooks));
    transfer.ImportArticles();
}

void TMOD00501Form1::importDatanorm()
{
    if (!m_pool || !checkRight(u"41"_s, txNoop("Sie sind nicht berechtigt, Artikel anzulegen!")))
        return;
    const auto chooseAddress = m_context.editContext.chooseAddress;
    std::function<QString()> chooseSupplier;
    if (chooseAddress)
        chooseSupplier = [chooseAddress] {
            const std::unique_ptr<TCustomerAddress> address = chooseAddress();
            return address ? address->Id : QString();
        };
    DatanormImportCommand command(m_pool->CatalogBaseDir,
                                  [this, chooseSupplier](DatanormImportCommand::Request &r) {
                                      TDatanormImportDialog dialog(chooseSupplier, this);
                                      return dialog.Ask(r);
                                  });
    command.Run();
}

bool TMOD00501Form1::showArticleWindow(TLagerServerObj &record, bool existing, int focusMode)
{
    if (m_context.showArticleWindow)
        return m_context.showArticleWindow(record, existing);
    if (!m_articleWindow)
        m_articleWindow = new TMOD00501Form2(
            m_context.editContext,
            m_context.etcDir.isEmpty() ? QString()
                                       : QDir(m_context.etcDir).filePath(u"MOD00501.INI"_s),
            this);
    return m_articleWindow->Edit(record, existing, focusMode);
}

void TMOD00501Form1::newArticle()
{
    if (checkRight(u"41"_s, txNoop("Sie sind nicht berechtigt, Artikel anzulegen!")) && m_frame)
        articleCommands().NewArticle();
}

void TMOD00501Form1::editArticle()
{
    if (m_labelWindow && m_labelWindow->isVisible()) {
        m_labelWindow->AddSelected();
        return;
    }
    if (checkRight(u"42"_s, txNoop("Sie sind nicht berechtigt, Artikel zu bearbeiten!")) && m_frame)
        articleCommands().EditArticle();
}

void TMOD00501Form1::copyArticle()
{
    if (checkRight(u"41"_s, txNoop("Sie sind nicht berechtigt, Artikel anzulegen!")) && m_frame)
        articleCommands().CopyArticle();
}

void TMOD00501Form1::keyPressEvent(QKeyEvent *event)
{
    if (m_frame && m_frame->HandleKey(event->key(), event->modifiers()))
        return;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_btEdit->click();
        return;
    case Qt::Key_Delete:
        deleteArticles();
        return;
    case Qt::Key_F2:
        m_btNew->click();
        return;
    case Qt::Key_F12:
        m_btQuit->click();
        return;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

void TMOD00501Form1::closeEvent(QCloseEvent *event)
{
    // Written on every close so the next start finds the last geometry.
    IniFile ini(QDir(m_context.etcDir).filePath(u"MOD00501.INI"_s));
    ini.writeString(u"MainWindow"_s, u"Geometry"_s, QString::fromLatin1(saveGeometry().toBase64()));
    if (m_context.freePlugins)
        m_context.freePlugins();
    if (m_frame)
        m_frame->SaveSettings(ini);
    ini.save();
    freeStock();
    event->accept();
}

std::function<bool(const QString &)> TMOD00501Form1::adminPasswordCheck() const
{
    if (m_context.checkAdminPassword)
        return m_context.checkAdminPassword;
    return [](const QString &password) {
        return TSystemEinstellungen::instance().CheckAdminPassword(password);
    };
}

void TMOD00501Form1::changeStock()
{
    if (!checkRight(u"42"_s, txNoop("Sie sind nicht berechtigt, Artikel zu bearbeiten!")) ||
        !m_frame)
        return;
    StockChangeCommand::Hooks hooks = MovementDialogs::StockChangeHooks(
        this, adminPasswordCheck(), m_context.editContext.chooseAddress);
    hooks.selectedArticleNr = [this] { return m_frame->SelectedArticleNr(); };
    hooks.updateArticle = [this](const TLagerServerObj &a) { m_frame->UpdateArticle(a); };
    StockChangeCommand(m_db ? *m_db : m_frame->Database(), m_context.editContext.stockDir,
                       m_context.editContext.userName, m_context.userFullName, std::move(hooks))
        .Run();
}

void TMOD00501Form1::receiveGoods()
{
    if (!m_frame || m_frame->SelectedArticleNr().isEmpty() ||
        !checkRight(u"44"_s, txNoop("Sie sind nicht berechtigt, Artikel zu buchen!")))
        return;
    IModLagerDBServerObj &db = m_db ? *m_db : m_frame->Database();
    ReceiptCommand::Hooks hooks;
    hooks.selectedArticleNr = [this] { return m_frame->SelectedArticleNr(); };
    hooks.updateArticle = [this](const TLagerServerObj &a) { m_frame->UpdateArticle(a); };
    hooks.receive = [this](TLagerServerObj &article,
                           const std::vector<const TLagerArtikelDaten *> &grouped,
                           ReceiptCommand::Receipt &io) {
        if (m_context.receiveGoods)
            return m_context.receiveGoods(article, grouped, io.supplier);
        return m_receiptWindow->Execute(article, io.quantity, grouped, io.reset, io.supplier,
                                        io.price, io.discount, io.netPrice, &io.unitPrice);
    };
    ReceiptCommand(db, m_context.editContext.stockDir, m_context.userFullName,
                   GoodsReceipt(GoodsReceipt::Settings::FromSuite(m_context.editContext.stockDir)),
                   std::move(hooks))
        .Run(m_supplier);
}

void TMOD00501Form1::receiveOrderLines()
{
    if (!m_frame || !checkRight(u"44"_s, txNoop("Sie sind nicht berechtigt, Artikel zu buchen!")))
        return;
    IModLagerDBServerObj &db = m_db ? *m_db : m_frame->Database();
    const QString orderDir = TSystemEinstellungen::instance().BestellwesenDir;
    OrderReceiptCommand::Hooks hooks;
    hooks.chooseOrder = [this, &orderDir] {
        if (m_context.chooseOrder)
            return m_context.chooseOrder(orderDir);
        IniFile ini(QDir(m_context.etcDir).filePath(u"MOD00501.INI"_s));
        const QString nr = TMOD00501Form5::ChooseOrder(this, orderDir, &ini);
        ini.save();
        return nr;
    };
    hooks.receive = [this](TLagerServerObj &article, ReceiptCommand::Receipt &io) {
        if (m_context.receiveGoods)
            return m_context.receiveGoods(article, {}, io.supplier);
        return m_receiptWindow->Execute(article, io.quantity, {}, io.reset, io.supplier, io.price,
                                        io.discount, io.netPrice, &io.unitPrice);
    };
    hooks.receiveFree = [this](OrderReceiptCommand::FreeReceipt &io) {
        return TMOD00501Form6::Run(this, io);
    };
    hooks.editNewArticle = [this](TLagerServerObj &article) {
        return showArticleWindow(article, false);
    };
    hooks.enterSerials = [this](TSeriennummerObjectList &serials,
                                const TLagerArtikelDaten &article, QString &supplier) {
        TMOD00501Form7 dialog(m_context.editContext.chooseAddress, this);
        return dialog.Execute(serials, article, false, {}, supplier);
    };
    hooks.catalogOf = catalogOfSupplier();
    hooks.formatText = standardFontText;
    hooks.updateArticle = [this](const TLagerServerObj &a) { m_frame->UpdateArticle(a); };
    OrderReceiptCommand(db, orderDir, m_context.editContext.stockDir, m_context.userFullName,
                        ProgramOrderingConfig().AutoSearchLagerartikel, std::move(hooks))
        .Run(m_supplier);
}

void TMOD00501Form1::receiveOrderTable()
{
    if (!m_frame || !checkRight(u"44"_s, txNoop("Sie sind nicht berechtigt, Artikel zu buchen!")))
        return;
    IModLagerDBServerObj &db = m_db ? *m_db : m_frame->Database();
    const TSystemEinstellungen &suite = TSystemEinstellungen::instance();
    IniFile ini(QDir(m_context.etcDir).filePath(u"MOD00501.INI"_s));
    TableReceiptCommand::Hooks hooks;
    hooks.chooseOrder = [this, &suite, &ini] {
        if (m_context.chooseOrder)
            return m_context.chooseOrder(suite.BestellwesenDir);
        return TMOD00501Form5::ChooseOrder(this, suite.BestellwesenDir, &ini);
    };
    const FreeLineArticle::TableConversion conversion{
        db,
        m_context.editContext.stockDir,
        m_context.userFullName,
        suite.FullCurrency,
        [this](TLagerServerObj &article) { return showArticleWindow(article, false); },
        catalogOfSupplier(),
        [] { return DateTime::now(); },
        standardFontText};
    const auto chooseAddress = m_context.editContext.chooseAddress;
    hooks.showTable = [this, &db, &ini, chooseAddress, &conversion](TBestellServerObj &order) {
        TMOD00501Form8 dialog(
            [this, chooseAddress](TSeriennummerObjectList &serials,
                                  const TLagerArtikelDaten &article, const QStringList &inStock,
                                  QString &supplier) {
                TMOD00501Form7 serialDialog(chooseAddress, this);
                return serialDialog.Execute(serials, article, false, inStock, supplier);
            },
            [&db](const QString &nr) {
                QStringList inStock;
                db.SerialsOfArticle(nr, inStock);
                return inStock;
            },
            &ini, this);
        dialog.SetConvertLine([&conversion](TBestellServerObj &o, TBestellartikel &line) {
            return conversion.Convert(o, line);
        });
        return dialog.Execute(order);
    };
    hooks.confirm = [] {
        return ShowMessageBox(tx("Alle Informationen zu diesem Warenzugang liegen nun vor.") +
                                  u'\n' + tx("Soll die Buchung nun ausgefuehrt werden?"),
                              MsgDlgType::Confirmation, MsgButton::YesNo) == ModalResult::Yes;
    };
    hooks.updateArticle = [this](const TLagerServerObj &a) { m_frame->UpdateArticle(a); };
    TableReceiptCommand(db, suite.BestellwesenDir, m_context.userFullName,
                        ProgramOrderingConfig().AutoSearchLagerartikel, suite.FullCurrency,
                        std::move(hooks))
        .Run(m_supplier);
    ini.save();
}

QString TMOD00501Form1::standardFontText(const QString &plain)
{
    const TTextFormat &font = TSystemEinstellungen::instance().TextFormats[0];
    return KatalogTransfer::FormattedText(plain, font.FontName, font.FontSize);
}

std::function<QString(const QString &)> TMOD00501Form1::catalogOfSupplier() const
{
    return [this](const QString &addressNr) {
        return m_pool ? m_pool->CatalogNameOfSupplier(addressNr) : QString();
    };
}

void TMOD00501Form1::showSerials()
{
    if (!m_frame)
        return;
    SerialViewCommand(m_db ? *m_db : m_frame->Database(),
                      MovementDialogs::SerialView(this, adminPasswordCheck()))
        .Run(m_frame->SelectedArticleNr(), m_frame->SelectedDescription());
}

void TMOD00501Form1::editGroupings()
{
    if (!m_frame)
        return;
    GroupingEditor editor;
    editor.Load(m_db ? *m_db : m_frame->Database(), m_context.editContext.stockDir);
    TMOD00501Form11(editor, this).Execute();
}

FastEditCommands TMOD00501Form1::fastEditCommands(const QList<int> &rows)
{
    FastEditCommands::Hooks hooks;
    hooks.selectedArticleNrs = [this, rows] {
        QStringList numbers;
        numbers.reserve(rows.size());
        for (int row : rows) {
            const TDBLagerSearchResult *e = m_frame->Model().Entry(row);
            numbers.append(e ? e->ArtikelNr().toString() : QString());
        }
        return numbers;
    };
    hooks.updateArticle = [this](const TLagerServerObj &a) { m_frame->UpdateArticle(a); };
    hooks.showArticleWindow = [this](TLagerServerObj &a, int mode) {
        return showArticleWindow(a, true, mode);
    };
    hooks.articlesChanged = [this, rows](qsizetype first, qsizetype count) {
        m_frame->MarkNotLoaded(rows.mid(first, count));
    };
    hooks.editList = [this](const QString &caption, QStringList &entries) {
        if (m_context.editList)
            return m_context.editList(caption, entries);
        return TListEditDialog::Edit(this, caption, entries);
    };
    hooks.configChanged = [this] { reloadConfiguration(); };
    return FastEditCommands(m_db ? *m_db : m_frame->Database(), m_frame->Config(),
                            m_context.editContext.stockDir, m_context.userFullName,
                            std::move(hooks));
}

void TMOD00501Form1::fastEditField(int mode)
{
    if (m_frame && checkRight(u"42"_s, txNoop("Sie sind nicht berechtigt, Artikel zu bearbeiten!")))
        fastEditCommands(m_frame->SelectedRows()).FieldEdit(mode);
}

void TMOD00501Form1::fastEditValue(FastEdit::ValueList list, int tag)
{
    if (m_frame && checkRight(u"42"_s, txNoop("Sie sind nicht berechtigt, Artikel zu bearbeiten!")))
        fastEditCommands(m_frame->SelectedRows()).SetValue(list, tag);
}

void TMOD00501Form1::fastEditList(FastEdit::ValueList list)
{
    if (m_frame)
        fastEditCommands({}).EditList(list);
}

void TMOD00501Form1::reloadConfiguration()
{
    if (!m_frame)
        return;
    m_frame->ReloadConfig();
    m_fastEdit->Rebuild(m_frame->Config());
    if (m_articleWindow)
        m_articleWindow->Frame()->ReloadConfig();
    emit stockConfigChanged();
}

void TMOD00501Form1::printStock()
{
    if (!m_frame)
        return;
    StockPrintContext context;
    context.groups = m_frame->Config().Artikelgruppen;
    context.places = m_frame->Config().Lagerorte;
    context.formsDir = TSystemEinstellungen::instance().FormsDirectory();
    context.settingsFile = QDir(m_context.etcDir).filePath(u"MOD00501.INI"_s);
    TMOD00501Form10::PrintStockList(m_frame->Database(), std::move(context), this);
}

void TMOD00501Form1::showLabelWindow()
{
    if (!m_labelWindow) {
        LabelWindowContext context;
        context.formsDir = TSystemEinstellungen::instance().FormsDirectory();
        context.settingsFile = QDir(m_context.etcDir).filePath(u"MOD00317.INI"_s);
        context.values = TEtikettHelperLager::FromSuite();
        context.selectedArticles = [this] {
            std::vector<TLagerArtikelDaten> articles;
            if (!m_frame)
                return articles;
            for (int row : m_frame->SelectedRows()) {
                TLagerArtikelDaten a;
                const QString nr = m_frame->DisplayedList()[row]->ArtikelNr().toString();
                if (TEtikettHelperLager::ReadArticle(m_frame->Database(), nr, a))
                    articles.push_back(std::move(a));
            }
            return articles;
        };
        m_labelWindow = new TMOD00501Form9(std::move(context), this);
    }
    m_labelWindow->show();
    m_labelWindow->raise();
    m_labelWindow->activateWindow();
}
