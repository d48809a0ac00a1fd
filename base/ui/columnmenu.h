#pragma once

#include <QList>
#include <QScrollArea>
#include <QString>

class QGridLayout;
class QPushButton;

// Menu items laid out in columns, for menus whose long value lists QMenu would show in one
// column as tall as the screen. It sits inside a QMenu through a QWidgetAction, so that it
// opens and closes with the menu's submenu; a click closes every open menu first, then
// reports the item's tag. Taller than the screen it scrolls. The arrow keys move between the
// items across the columns, Enter and Space choose one.
class TColumnMenu : public QScrollArea
{
    Q_OBJECT
public:
    struct Item {
        QString caption;
        int tag;
    };

    explicit TColumnMenu(QWidget *parent = nullptr);

    // columnStarts: indexes into items that begin a new column, ascending.
    void SetItems(const QList<Item> &items, const QList<int> &columnStarts);
    // Captions column by column, as the user sees them.
    QList<QStringList> Columns() const;
    // The item's button; null for an unknown tag.
    QPushButton *Button(int tag) const;

    QSize sizeHint() const override;

signals:
    void chosen(int tag);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choose(int tag);

    QWidget *m_content = nullptr;
    QGridLayout *m_grid = nullptr;
    QList<QPushButton *> m_buttons;
};
