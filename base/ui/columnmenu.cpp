#include "base/ui/columnmenu.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace
{
// Flat entries that light up under the mouse like the entries of a menu.
const QString kItemStyle =
    u"QPushButton { text-align: left; border: none; padding: 4px 18px 4px 12px; }"
    u"QPushButton:hover, QPushButton:focus { background: palette(highlight); "
    u"color: palette(highlighted-text); }"_s;
} // namespace

TColumnMenu::TColumnMenu(QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    m_content = new QWidget(this);
    m_grid = new QGridLayout(m_content);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setSpacing(0);
    setWidget(m_content);
}

void TColumnMenu::SetItems(const QList<Item> &items, const QList<int> &columnStarts)
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
    int column = 0;
    int row = 0;
    qsizetype nextBreak = 0;
    for (int i = 0; i < items.size(); ++i) {
        if (nextBreak < columnStarts.size() && columnStarts[nextBreak] == i) {
            ++nextBreak;
            ++column;
            row = 0;
        }
        auto *b = new QPushButton(items[i].caption, m_content);
        b->setFlat(true);
        b->setStyleSheet(kItemStyle);
        b->setFocusPolicy(Qt::StrongFocus);
        b->installEventFilter(this);
        b->setProperty("tag", items[i].tag);
        const int tag = items[i].tag;
        connect(b, &QPushButton::clicked, this, [this, tag] { choose(tag); });
        m_grid->addWidget(b, row++, column);
        m_buttons.append(b);
    }
    // The menu focuses the widget when the keyboard reaches it: the first item takes it.
    setFocusProxy(m_buttons.isEmpty() ? nullptr : m_buttons.first());
    // Short columns keep their items at the top.
    m_grid->setRowStretch(m_grid->rowCount(), 1);
    updateGeometry();
}

void TColumnMenu::choose(int tag)
{
    // Closed before the command runs: it may show a progress window of its own.
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    emit chosen(tag);
}

bool TColumnMenu::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QPushButton *>(watched);
    if (!button || event->type() != QEvent::KeyPress)
        return QScrollArea::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        choose(button->property("tag").toInt());
        return true;
    }
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    m_grid->getItemPosition(m_grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
    // A button would move the focus among its siblings itself; the menu is to have the key.
    const auto passOn = [&] {
        for (QWidget *p = parentWidget(); p; p = p->parentWidget())
            if (p->inherits("QMenu")) {
                QCoreApplication::sendEvent(p, event);
                break;
            }
        return true;
    };
    const int rows = [&] { // items of a column, the last one being shorter
        int n = 0;
        while (m_grid->itemAtPosition(n, column))
            ++n;
        return n;
    }();
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        row += key == Qt::Key_Up ? -1 : 1;
        if (row < 0 || row >= rows)
            return passOn(); // on to the menu's entries above, as QMenu moves between entries
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        column += key == Qt::Key_Left ? -1 : 1;
        if (column < 0 || column >= m_grid->columnCount() || !m_grid->itemAtPosition(0, column))
            return passOn(); // the menu goes back to its parent, as QMenu does at its edge
        while (row > 0 && !m_grid->itemAtPosition(row, column))
            --row; // into a shorter last column at its end
        break;
    default:
        return QScrollArea::eventFilter(watched, event);
    }
    if (QLayoutItem *item = m_grid->itemAtPosition(row, column)) {
        item->widget()->setFocus();
        ensureWidgetVisible(item->widget());
    }
    return true;
}

QList<QStringList> TColumnMenu::Columns() const
{
    QList<QStringList> columns;
    for (const QPushButton *b : m_buttons) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        m_grid->getItemPosition(m_grid->indexOf(b), &row, &column, &rowSpan, &columnSpan);
        if (column >= columns.size())
            columns.resize(column + 1); // the grid keeps the columns of an earlier, longer list
        columns[column].append(b->text());
    }
    return columns;
}

QPushButton *TColumnMenu::Button(int tag) const
{
    for (QPushButton *b : m_buttons)
        if (b->property("tag").toInt() == tag)
            return b;
    return nullptr;
}

QSize TColumnMenu::sizeHint() const
{
    QSize content = m_content->sizeHint();
    const QScreen *s = screen() ? screen() : QApplication::primaryScreen();
    const int room = s ? s->availableGeometry().height() - 60 : content.height();
    if (content.height() > room) {
        content.setHeight(room);
        content.rwidth() += verticalScrollBar()->sizeHint().width();
    }
    return content;
}
