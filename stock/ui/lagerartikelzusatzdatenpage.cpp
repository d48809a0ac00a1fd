#include "stock/ui/lagerartikelzusatzdatenpage.h"

#include "base/translation.h"
#include "persistence/datetime.h"
#include "stock/lagerserverobj.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::StringLiterals;

namespace
{
enum Column { ColName = 0, ColKind = 1, ColValue = 2 };

constexpr double kMsecsPerDay = 86400000.0;

QString kindName(quint8 kind)
{
    switch (kind) {
    case TDsnElement::Text:
        return tx("Text");
    case TDsnElement::Integer:
        return tx("Ganzzahl");
    case TDsnElement::Boolean:
        return tx("Ja/Nein");
    case TDsnElement::Date:
        return tx("Datum");
    case TDsnElement::Time:
        return tx("Uhrzeit");
    case TDsnElement::DateAndTime:
        return tx("Datum und Uhrzeit");
    default:
        return QString::number(kind);
    }
}

double dayPart(double value)
{
    return std::floor(value);
}

QTime timeOf(double value)
{
    const double fraction = value - dayPart(value);
    return QTime::fromMSecsSinceStartOfDay(int(std::lround(fraction * kMsecsPerDay)) % 86400000);
}

QWidget *editorFor(const TDsnElement &e, QWidget *parent)
{
    switch (e.Kind) {
    case TDsnElement::Text: {
        auto *edit = new QLineEdit(e.TextValue, parent);
        edit->setFrame(false);
        return edit;
    }
    case TDsnElement::Integer: {
        auto *spin = new QSpinBox(parent);
        spin->setRange(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
        spin->setValue(e.IntValue);
        spin->setFrame(false);
        return spin;
    }
    case TDsnElement::Boolean: {
        auto *check = new QCheckBox(parent);
        check->setChecked(e.BoolValue);
        return check;
    }
    case TDsnElement::Date: {
        auto *date = new QDateEdit(DateTime::toQDate(e.FloatValue), parent);
        date->setCalendarPopup(true);
        date->setFrame(false);
        return date;
    }
    case TDsnElement::Time: {
        auto *time = new QTimeEdit(timeOf(e.FloatValue), parent);
        time->setDisplayFormat(u"HH:mm:ss"_s);
        time->setFrame(false);
        return time;
    }
    case TDsnElement::DateAndTime: {
        auto *dt = new QDateTimeEdit(DateTime::toQDateTime(e.FloatValue), parent);
        dt->setDisplayFormat(u"dd.MM.yyyy HH:mm:ss"_s);
        dt->setCalendarPopup(true);
        dt->setFrame(false);
        return dt;
    }
    default:
        return nullptr; // a kind of a newer field designer: shown, kept, not edited
    }
}

// Takes the editor's value into the element. Values the editor shows unchanged keep their
// stored form, so that storing an untouched page does not round them to the editor's steps.
void takeValue(TDsnElement &e, const QWidget *editor)
{
    if (!editor)
        return;
    switch (e.Kind) {
    case TDsnElement::Text:
        e.TextValue = static_cast<const QLineEdit *>(editor)->text();
        break;
    case TDsnElement::Integer:
        e.IntValue = static_cast<const QSpinBox *>(editor)->value();
        break;
    case TDsnElement::Boolean:
        e.BoolValue = static_cast<const QCheckBox *>(editor)->isChecked();
        break;
    case TDsnElement::Date: {
        const QDate date = static_cast<const QDateEdit *>(editor)->date();
        if (date != DateTime::toQDate(e.FloatValue))
            e.FloatValue = DateTime::fromQDate(date);
        break;
    }
    case TDsnElement::Time: {
        const QTime time = static_cast<const QTimeEdit *>(editor)->time();
        if (time != timeOf(e.FloatValue))
            e.FloatValue = dayPart(e.FloatValue) + time.msecsSinceStartOfDay() / kMsecsPerDay;
        break;
    }
    case TDsnElement::DateAndTime: {
        const QDateTime dt = static_cast<const QDateTimeEdit *>(editor)->dateTime();
        if (dt != DateTime::toQDateTime(e.FloatValue))
            e.FloatValue = DateTime::fromQDateTime(dt);
        break;
    }
    default:
        break;
    }
}
} // namespace

TLagerArtikelZusatzdatenPage::TLagerArtikelZusatzdatenPage(const TLagerArtikelEditContext &context,
                                                           QWidget *parent)
    : QWidget(parent), m_context(context)
{
    m_stage = new QTableWidget(0, 3, this);
    m_stage->setObjectName(u"DsnStage1"_s);
    m_stage->setHorizontalHeaderLabels({tx("Name"), tx("Typ"), tx("Wert")});
    m_stage->verticalHeader()->hide();
    m_stage->horizontalHeader()->setSectionResizeMode(ColValue, QHeaderView::Stretch);
    m_stage->setSelectionMode(QAbstractItemView::SingleSelection);
    m_stage->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The field designer belongs to the suite's base package; the item shows where it goes.
    auto *designer = new QAction(tx("Zusaetzliche Journal-Felder bearbeiten"), m_stage);
    designer->setObjectName(u"miJournalFelder"_s);
    designer->setEnabled(false);
    m_stage->addAction(designer);
    m_stage->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stage);
}

TLagerArtikelZusatzdatenPage::~TLagerArtikelZusatzdatenPage() = default;

void TLagerArtikelZusatzdatenPage::ShowArticle(TLagerServerObj *article)
{
    m_values = article ? article->Zusatzdaten : TDsnElementList();
    m_stage->clearContents();
    m_stage->setRowCount(int(m_values.Count()));
    for (int row = 0; row < m_stage->rowCount(); ++row) {
        const TDsnElement &e = m_values.Item(row);
        m_stage->setItem(row, ColName, new QTableWidgetItem(e.Name));
        m_stage->setItem(row, ColKind, new QTableWidgetItem(kindName(e.Kind)));
        if (QWidget *editor = editorFor(e, m_stage)) {
            editor->setObjectName(u"dsn_"_s + QString::number(row));
            m_stage->setCellWidget(row, ColValue, editor);
        } else {
            m_stage->setItem(row, ColValue, new QTableWidgetItem(e.ValueText()));
        }
    }
    m_stage->resizeColumnsToContents();
}

void TLagerArtikelZusatzdatenPage::Clear()
{
    ShowArticle(nullptr);
}

void TLagerArtikelZusatzdatenPage::StoreArticle(TLagerServerObj &article) const
{
    TDsnElementList values = m_values;
    for (int row = 0; row < m_stage->rowCount() && row < values.Count(); ++row)
        takeValue(values.Item(row), m_stage->cellWidget(row, ColValue));
    article.Zusatzdaten = values;
}
