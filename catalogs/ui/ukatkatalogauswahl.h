#pragma once

#include "catalogs/ukatkatalogtypehelper.h"

#include <QDialog>
#include <QList>
#include <QSet>

class QLabel;
class QListWidget;
class QPushButton;

// The list of catalogs to choose from: one entry per catalog directory of the shown kinds,
// drawn as a small card (name, kind, description, supplier).
class TUKATKatalogAuswahlFrame : public QWidget
{
    Q_OBJECT
public:
    explicit TUKATKatalogAuswahlFrame(QWidget *parent = nullptr);

    QString CatalogBaseDir;
    QSet<int> ShownKinds{kkSimple, kkDatanorm, kkEldanorm};
    bool ShowStock = true;

    void FillList();
    const QList<TUKATKatalogAuswahlItem> &Items() const { return m_items; }
    // Null when nothing is selected.
    const TUKATKatalogAuswahlItem *SelectedItem() const;
    void SelectIndex(int index);

    QListWidget *List() const { return m_list; }
    QPushButton *AddressButton() const { return m_btAddress; }
    QLabel *AddressLink() const { return m_addressLink; }

private:
    void selectionChanged();

    QList<TUKATKatalogAuswahlItem> m_items;
    QListWidget *m_list;
    QLabel *m_addressLink;
    QPushButton *m_btAddress;
};

class TUKATKatalogAuswahl : public QDialog
{
    Q_OBJECT
public:
    explicit TUKATKatalogAuswahl(QWidget *parent = nullptr);

    // Shows the catalogs of the suite's catalog directory (and the stock unless
    // withoutStock); true and the chosen name when the user opens one.
    static bool Select(QString &catalogName, bool withoutStock);

    TUKATKatalogAuswahlFrame *Frame() const { return m_frame; }
    void done(int result) override;

private:
    TUKATKatalogAuswahlFrame *m_frame;
};
