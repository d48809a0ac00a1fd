#include "printing/ui/mod00501form9.h"

#include "base/inifile.h"
#include "base/interaction.h"
#include "base/translation.h"
#include "printing/ui/mod00317frame1.h"
#include "printing/ui/mod00317selectframe.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace
{
const QString kSection = u"MOD00317"_s;

QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(tx(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QWidget *page(QStackedWidget *stack, const char *instruction, QLayout *body, QLayout *buttons)
{
    auto *w = new QWidget(stack);
    auto *layout = new QVBoxLayout(w);
    auto *label = new QLabel(tx(instruction), w);
    label->setWordWrap(true);
    layout->addWidget(label);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    stack->addWidget(w);
    return w;
}

void alert(const char *text)
{
    interaction().desktopAlert(tx("Information"), tx(text), 100, 3000);
}
} // namespace

TMOD00501Form9::TMOD00501Form9(LabelWindowContext context, QWidget *parent)
    : QWidget(parent, Qt::Window), m_context(std::move(context)), m_helper(m_context.values)
{
    setObjectName(u"TMOD00501Form9"_s);
    setWindowTitle(u"[0501 - 09] - "_s + tx("Etiketten drucken"));
    resize(720, 760);
    m_labels.LoadFromFile(TPrintEtikettManager::FileNameIn(m_context.formsDir));

    m_pages = new QStackedWidget(this);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(m_pages);

    // Page 1: the print list.
    m_list = new QTreeWidget(m_pages);
    m_list->setObjectName(u"vstArtikel"_s);
    m_list->setHeaderLabels({tx("Lagerartikel-Nr."), tx("Bezeichnung")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *listBody = new QVBoxLayout;
    listBody->addWidget(m_list);
    auto *listButtons = new QHBoxLayout;
    QPushButton *btAdd = button(this, "btArtikelHinzufuegen", txNoop("Artikel hinzufuegen"));
    QPushButton *btDelete = button(this, "btArtikelLoeschen", txNoop("Loeschen"));
    QPushButton *btNext1 = button(this, "btWeiter1", txNoop("Weiter"));
    listButtons->addWidget(btAdd);
    listButtons->addWidget(btDelete);
    listButtons->addStretch(1);
    listButtons->addWidget(btNext1);
    page(m_pages, txNoop("Stellen Sie eine Liste der zu druckenden Artikel zusammen."), listBody,
         listButtons);

    // Page 2: sheet layout and first sheet.
    m_forms = new QListWidget(m_pages);
    m_forms->setObjectName(u"lbFormulare"_s);
    for (const auto &form : m_labels.Forms)
        m_forms->addItem(form->Name);
    m_sheet = new TMOD00317SelectFrame(m_pages);
    auto *sheetBody = new QHBoxLayout;
    sheetBody->addWidget(m_forms, 1);
    sheetBody->addWidget(m_sheet, 2);
    auto *sheetButtons = new QHBoxLayout;
    QPushButton *btAll = button(this, "btAlleAktivieren", txNoop("Alle Etiketten aktivieren"));
    QPushButton *btNone = button(this, "btAlleDeaktivieren", txNoop("Alle Etiketten deaktivieren"));
    QPushButton *btBack2 = button(this, "btZurueck2", txNoop("Zurueck"));
    QPushButton *btNext2 = button(this, "btWeiter2", txNoop("Weiter"));
    sheetButtons->addWidget(btAll);
    sheetButtons->addWidget(btNone);
    sheetButtons->addStretch(1);
    sheetButtons->addWidget(btBack2);
    sheetButtons->addWidget(btNext2);
    page(m_pages,
         txNoop("Waehlen Sie ein Formular aus und legen Sie die Druckbelegung fuer die erste "
                "Seite fest."),
         sheetBody, sheetButtons);

    // Page 3: preview.
    m_preview = new TMOD00317Frame1(m_pages);
    auto *previewBody = new QVBoxLayout;
    previewBody->addWidget(m_preview);
    auto *previewButtons = new QHBoxLayout;
    QPushButton *btPrint = button(this, "btDrucken", txNoop("Drucken"));
    QPushButton *btClose = button(this, "btSchliessen", txNoop("Schliessen"));
    QPushButton *btBack3 = button(this, "btZurueck3", txNoop("Zurueck"));
    previewButtons->addWidget(btPrint);
    previewButtons->addStretch(1);
    previewButtons->addWidget(btBack3);
    previewButtons->addWidget(btClose);
    page(m_pages, txNoop("Druckvorschau"), previewBody, previewButtons);

    const IniFile ini(m_context.settingsFile);
    const QString last = ini.readString(kSection, u"LastSelection"_s);
    const auto found = m_forms->findItems(last, Qt::MatchExactly);
    if (!last.isEmpty() && !found.isEmpty())
        m_forms->setCurrentItem(found.front());
    m_preview->SetZoomIndex(ini.readInteger(kSection, u"ZoomIndex"_s, 6));
    formChosen();

    connect(btAdd, &QPushButton::clicked, this, &TMOD00501Form9::AddSelected);
    connect(btDelete, &QPushButton::clicked, this, &TMOD00501Form9::DeleteSelected);
    connect(btNext1, &QPushButton::clicked, this, &TMOD00501Form9::NextToSheet);
    connect(m_forms, &QListWidget::currentRowChanged, this, &TMOD00501Form9::formChosen);
    connect(btAll, &QPushButton::clicked, this, [this] { m_sheet->SetAllActive(true); });
    connect(btNone, &QPushButton::clicked, this, [this] { m_sheet->SetAllActive(false); });
    connect(btBack2, &QPushButton::clicked, this, [this] { m_pages->setCurrentIndex(0); });
    connect(btNext2, &QPushButton::clicked, this, &TMOD00501Form9::PrintToPreview);
    connect(btPrint, &QPushButton::clicked, this, &TMOD00501Form9::Print);
    connect(btClose, &QPushButton::clicked, this, &QWidget::close);
    connect(btBack3, &QPushButton::clicked, this, [this] { m_pages->setCurrentIndex(1); });
}

TMOD00501Form9::~TMOD00501Form9()
{
    // The main window frees an open label window when the program ends, without closing it.
    if (isVisible())
        saveSettings();
}

void TMOD00501Form9::showEvent(QShowEvent *event)
{
    // Top right of the work area, where it leaves the stock list in view.
    if (!m_placed) {
        m_placed = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.right() - frameGeometry().width() + 1, area.top());
        }
    }
    QWidget::showEvent(event);
}

int TMOD00501Form9::Page() const
{
    return m_pages->currentIndex();
}

TPrintEtikettForm *TMOD00501Form9::ChosenForm() const
{
    const QListWidgetItem *item = m_forms->currentItem();
    return item ? m_labels.FindForm(item->text()) : nullptr;
}

void TMOD00501Form9::refreshList()
{
    m_list->clear();
    for (const TLagerArtikelDaten &a : m_articles)
        new QTreeWidgetItem(m_list, {a.LagerArtikelNr, a.Bezeichnung});
    m_sheet->update();
}

void TMOD00501Form9::AddSelected()
{
    std::vector<TLagerArtikelDaten> added;
    if (m_context.selectedArticles)
        added = m_context.selectedArticles();
    if (added.empty()) {
        alert(txNoop("Waehlen Sie erst eine oder mehrere Zeilen aus!"));
        return;
    }
    m_articles.insert(m_articles.end(), added.begin(), added.end());
    refreshList();
}

void TMOD00501Form9::DeleteSelected()
{
    std::vector<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows)
        m_articles.erase(m_articles.begin() + row);
    refreshList();
}

bool TMOD00501Form9::NextToSheet()
{
    if (m_articles.empty()) {
        alert(txNoop("Fuegen Sie erst einen Artikel der Liste hinzu!"));
        return false;
    }
    m_pages->setCurrentIndex(1);
    formChosen();
    return true;
}

void TMOD00501Form9::formChosen()
{
    m_sheet->SetSheet(&m_labels, ChosenForm(), &m_articles, &m_helper);
}

bool TMOD00501Form9::PrintToPreview()
{
    TPrintEtikettForm *form = ChosenForm();
    if (!form) {
        alert(txNoop("Waehlen Sie erst ein Etikettenformular aus!"));
        return false;
    }
    m_pages->setCurrentIndex(2);
    m_printer.Print(m_labels, *form, int(m_articles.size()), m_helper.Callback(m_articles));
    m_preview->SetPages(&m_printer);
    return true;
}

void TMOD00501Form9::Print()
{
    const int pages = m_printer.PageCount();
    if (pages == 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_printer.PageLayout());
    printer.setFromTo(1, pages);
    printer.setDocName(tx("Etikettendruck"));
    bool accepted = false;
    if (m_context.printDialog) {
        accepted = m_context.printDialog(printer, pages);
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setMinMax(1, pages);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted)
        return;
    int from = 1, to = pages;
    if (printer.printRange() == QPrinter::CurrentPage) {
        from = to = m_preview->CurrentPage();
    } else if (printer.printRange() == QPrinter::PageRange) {
        from = printer.fromPage();
        to = printer.toPage();
    }
    // Each copy is a job of its own with one copy: label printers ignore the copy count
    // of many drivers, and the sheet must come out whole each time.
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    printer.setDocName(tx("Etikettendruck"));
    for (int copy = 0; copy < copies; ++copy) {
        TMOD00317Frame1::PaintPages(printer, m_printer, from, to);
        ++m_jobs;
    }
}

void TMOD00501Form9::saveSettings()
{
    IniFile ini(m_context.settingsFile);
    if (const QListWidgetItem *item = m_forms->currentItem())
        ini.writeString(kSection, u"LastSelection"_s, item->text());
    ini.writeInteger(kSection, u"ZoomIndex"_s, m_preview->ZoomIndex());
    ini.save();
}

void TMOD00501Form9::closeEvent(QCloseEvent *event)
{
    saveSettings();
    event->accept();
}
