#include "base/ui/columnmenu.h"

#include <QApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace
{
// Flat entries that light up under the mouse like the entries of a menu.
const QString kItemStyle =
    u"QPushButton { text-align: left; border: none; padding: 4px 18px 4px 12px; }"
    u"QPushButton:hover { background: palette(highlight); color: palette(highlighted-text); }"_s;
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
        b->setFocusPolicy(Qt::NoFocus);
        b->setProperty("tag", items[i].tag);
        const int tag = items[i].tag;
        connect(b, &QPushButton::clicked, this, [this, tag] {
            // Closed before the command runs: it may show a progress window of its own.
            while (QWidget *popup = QApplication::activePopupWidget())
                popup->close();
            emit chosen(tag);
        });
        m_grid->addWidget(b, row++, column);
        m_buttons.append(b);
    }
    // Short columns keep their items at the top.
    m_grid->setRowStretch(m_grid->rowCount(), 1);
    updateGeometry();
}

QList<QStringList> TColumnMenu::Columns() const
{
    QList<QStringList> columns(m_grid->columnCount());
    for (const QPushButton *b : m_buttons) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        m_grid->getItemPosition(m_grid->indexOf(b), &row, &column, &rowSpan, &columnSpan);
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
