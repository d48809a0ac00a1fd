#include "movements/ui/mod00501form11.h"

#include "base/translation.h"
#include "movements/groupingeditor.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{

QTreeView *listView(QWidget *parent, const QString &name, QAbstractItemModel *model)
{
    auto *view = new QTreeView(parent);
    view->setObjectName(name);
    // Every row the same height: the view never measures 100,000 rows to lay them out.
    view->setUniformRowHeights(true);
    view->setModel(model);
    view->setColumnWidth(0, 140);
    view->header()->setStretchLastSection(true);
    return view;
}

} // namespace

TMOD00501Form11::TMOD00501Form11(GroupingEditor &editor, QWidget *parent)
    : QDialog(parent), m_editor(editor)
{
    setObjectName(u"MOD00501Form11"_s);
    setWindowTitle(u"[0501 - 11] - "_s + tx("Artikelgruppierungen bearbeiten"));
    resize(900, 600);
    auto *layout = new QVBoxLayout(this);
    auto *lists = new QHBoxLayout;
    layout->addLayout(lists, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(tx("Noch nicht gruppierte Artikel"), this));
    m_articles = listView(this, u"vstArtikel"_s, &editor.Ungrouped());
    m_articles->setRootIsDecorated(false);
    m_articles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    left->addWidget(m_articles, 1);
    lists->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    right->addWidget(new QLabel(tx("Gruppierte Artikel"), this));
    m_groupings = listView(this, u"vstGruppierungen"_s, &editor.Tree());
    m_groupings->setSelectionMode(QAbstractItemView::SingleSelection);
    right->addWidget(m_groupings, 1);
    lists->addLayout(right, 1);

    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const QString &name, const char *caption) {
        auto *b = new QPushButton(tx(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton *btGroup = button(u"btGruppieren"_s, txNoop("Auswahl gruppieren"));
    QPushButton *btDelete = button(u"btLoeschen"_s, txNoop("Gruppierung loeschen"));
    buttons->addStretch(1);
    QPushButton *btSave = button(u"btSpeichern"_s, txNoop("Speichern"));
    QPushButton *btCancel = button(u"btAbbrechen"_s, txNoop("Abbrechen"));
    layout->addLayout(buttons);

    connect(btGroup, &QPushButton::clicked, this, &TMOD00501Form11::groupSelection);
    connect(btDelete, &QPushButton::clicked, this, &TMOD00501Form11::deleteGrouping);
    connect(btSave, &QPushButton::clicked, this, &TMOD00501Form11::save);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TMOD00501Form11::Execute()
{
    return exec() == QDialog::Accepted;
}

void TMOD00501Form11::groupSelection()
{
    QList<int> rows;
    for (const QModelIndex &i : m_articles->selectionModel()->selectedRows())
        rows.append(i.row());
    if (m_editor.GroupRows(rows)) {
        m_articles->clearSelection();
        m_groupings->scrollToBottom();
    }
}

void TMOD00501Form11::deleteGrouping()
{
    m_editor.DeleteGrouping(m_groupings->currentIndex());
}

void TMOD00501Form11::save()
{
    if (m_editor.Save())
        accept();
}
