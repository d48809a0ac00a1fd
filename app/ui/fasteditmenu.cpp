#include "app/ui/fasteditmenu.h"

#include "base/translation.h"
#include "base/ui/columnmenu.h"
#include "stock/lagerconfig.h"

#include <QWidgetAction>

using namespace Qt::StringLiterals;
using FastEdit::ValueList;

namespace
{

QAction *addEntry(QMenu *menu, const QString &name, const char *caption, int tag)
{
    QAction *action = menu->addAction(tx(caption));
    action->setObjectName(name);
    action->setData(tag);
    action->setProperty("tag", tag);
    return action;
}

} // namespace

TFastEditMenu::TFastEditMenu(QWidget *parent) : QMenu(parent)
{
    setObjectName(u"pmFastEdit"_s);
    static const char *const kFields[] = {txNoop("Bezeichnung"),    txNoop("Bestellmenge"),
                                          txNoop("Einkaufspreis"),  txNoop("Verkaufpreis 1"),
                                          txNoop("Verkaufpreis 2"), txNoop("Verkaufpreis 3"),
                                          txNoop("Verkaufpreis 4"), txNoop("Verkaufpreis 5")};
    static const char *const kNames[] = {"miFastBezeichnung", "miFastBestellmenge",
                                         "miFastEinkaufspreis"};
    for (int mode = 0; mode < 8; ++mode) {
        const QString name =
            mode < 3 ? QString::fromLatin1(kNames[mode]) : u"miFastVK%1"_s.arg(mode - 2);
        connect(addEntry(this, name, kFields[mode], FastEdit::kFieldTagFirst + mode),
                &QAction::triggered, this, [this, mode] { emit fieldEdit(mode); });
    }
    const struct {
        ValueList list;
        const char *menuName;
        const char *editName;
        int editTag;
    } subs[] = {
        {ValueList::Lagerort, "pmLagerort", "miLagerortListe", FastEdit::kEditPlacesTag},
        {ValueList::Artikelgruppe, "pmArtikelgruppe", "miArtikelgruppeListe",
         FastEdit::kEditGroupsTag},
        {ValueList::Rabattgruppe, "pmRabattgruppe", nullptr, 0},
    };
    for (const auto &s : subs) {
        QMenu *sub = addMenu(tx(FastEdit::ListCaption(s.list)));
        sub->setObjectName(QString::fromLatin1(s.menuName));
        const ValueList list = s.list;
        if (s.editName) {
            connect(addEntry(sub, QString::fromLatin1(s.editName), txNoop("Liste bearbeiten"),
                             s.editTag),
                    &QAction::triggered, this, [this, list] { emit editList(list); });
            sub->addSeparator();
        }
        auto *values = new TColumnMenu(sub);
        values->setObjectName(QString::fromLatin1(s.menuName) + u"Werte"_s);
        auto *holder = new QWidgetAction(sub);
        holder->setDefaultWidget(values);
        sub->addAction(holder);
        connect(values, &TColumnMenu::chosen, this,
                [this, list](int tag) { emit valueChosen(list, tag); });
        m_values[size_t(list)] = values;
    }
}

void TFastEditMenu::Rebuild(const TLagerConfig &config)
{
    for (ValueList list :
         {ValueList::Lagerort, ValueList::Artikelgruppe, ValueList::Rabattgruppe}) {
        const QList<FastEdit::ValueItem> items = FastEdit::ValueItems(list, config);
        QList<TColumnMenu::Item> shown;
        for (const FastEdit::ValueItem &i : items)
            shown.append({i.caption, i.tag});
        // "Entfernen" heads the first column; the breaks count value items only.
        QList<int> starts = FastEdit::ColumnStarts(int(items.size()) - 1);
        for (int &s : starts)
            ++s;
        m_values[size_t(list)]->SetItems(shown, starts);
    }
}
