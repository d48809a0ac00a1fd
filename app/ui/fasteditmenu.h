#pragma once

#include "stock/fasteditmenu.h"

#include <QMenu>
#include <array>

class TColumnMenu;
class TLagerConfig;

// The main window's menu pmFastEdit: the field edits (tags 100..107) and the submenus
// "Lagerort", "Artikelgruppe" and "Rabattgruppe", whose value items are drawn in columns by a
// TColumnMenu and rebuilt from the configuration whenever its lists change.
class TFastEditMenu : public QMenu
{
    Q_OBJECT
public:
    explicit TFastEditMenu(QWidget *parent = nullptr);

    void Rebuild(const TLagerConfig &config);
    TColumnMenu *Values(FastEdit::ValueList list) const { return m_values[size_t(list)]; }

signals:
    void fieldEdit(int mode);
    void valueChosen(FastEdit::ValueList list, int tag);
    void editList(FastEdit::ValueList list);

private:
    std::array<TColumnMenu *, 3> m_values{};
};
