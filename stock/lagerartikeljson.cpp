#include "stock/lagerartikeljson.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/conversions.h"
#include "stock/inputchecks.h"
#include "stock/lagerartikelfeld.h"

#include <QDate>
#include <QJsonArray>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace
{
const QString kPeriods = u"MindestBestand"_s;
const QString kKatRefs = u"KatRefs"_s;
const QString kBilder = u"Bilder"_s;
const QString kZusatzdaten = u"Zusatzdaten"_s;
const QString kIso = u"iso"_s;

// Day numbers beside which the form carries the same instant as ISO 8601 text.
struct IsoField {
    QString numberKey;
    QString isoKey;
    double TLagerArtikelDaten::*member;
};
const IsoField kIsoFields[] = {{u"Created"_s, u"CreatedIso"_s, &TLagerArtikelDaten::Created},
                               {u"Changed"_s, u"ChangedIso"_s, &TLagerArtikelDaten::Changed}};

// ISO texts are the suite's local civil time, without an offset: a day number names a wall
// clock reading, not an instant, so the process's time zone must not enter either direction.
// Conversions are calendar arithmetic on QDate, never through a zoned QDateTime.
const QDate kEpoch(1899, 12, 30);
constexpr qint64 kMsPerDay = 86400000;
// Day numbers beyond the years 1..9999 have no four-digit ISO year.
constexpr double kFirstDay = -693593, kLastDay = 2958466;

enum class IsoKind { Date, Time, DateTime };

IsoKind isoKindOf(quint8 dsnKind)
{
    return dsnKind == TDsnElement::Date   ? IsoKind::Date
           : dsnKind == TDsnElement::Time ? IsoKind::Time
                                          : IsoKind::DateTime;
}

// The text for a day number; empty when it lies outside the ISO calendar's four-digit years.
QString toIso(double value, IsoKind kind)
{
    if (!(value >= kFirstDay && value < kLastDay))
        return {};
    const double days = std::trunc(value);
    // as the rest of the program reads a day number: the time of day is the fraction's amount
    const qint64 ms =
        qMin(std::llround(std::fabs(value - days) * double(kMsPerDay)), kMsPerDay - 1);
    const QString date = kEpoch.addDays(qint64(days)).toString(u"yyyy-MM-dd"_s);
    const QTime t = QTime::fromMSecsSinceStartOfDay(int(ms));
    const QString time = t.toString(t.msec() ? u"HH:mm:ss.zzz"_s : u"HH:mm:ss"_s);
    switch (kind) {
    case IsoKind::Date:
        return date;
    case IsoKind::Time:
        return time;
    case IsoKind::DateTime:
        break;
    }
    return date + u'T' + time;
}

std::optional<QTime> isoTime(QStringView text)
{
    for (const QString &format : {u"HH:mm:ss.zzz"_s, u"HH:mm:ss"_s, u"HH:mm"_s}) {
        const QTime t = QTime::fromString(text.toString(), format);
        if (t.isValid())
            return t;
    }
    return std::nullopt;
}

// The day number of an ISO text of the kind (a date-time may leave out its time); none for a
// text with an offset or "Z", which would name an instant rather than a wall clock reading.
std::optional<double> fromIso(QStringView text, IsoKind kind)
{
    QStringView datePart = text, timePart;
    if (kind == IsoKind::Time) {
        datePart = {};
        timePart = text;
    } else if (const qsizetype t = text.indexOf(u'T'); t >= 0) {
        if (kind == IsoKind::Date)
            return std::nullopt;
        datePart = text.left(t);
        timePart = text.mid(t + 1);
    }
    double days = 0;
    if (!datePart.isNull()) {
        const QDate date = QDate::fromString(datePart.toString(), u"yyyy-MM-dd"_s);
        if (!date.isValid() || datePart.size() != 10)
            return std::nullopt;
        days = double(kEpoch.daysTo(date));
    }
    double fraction = 0;
    if (!timePart.isNull()) {
        const std::optional<QTime> t = isoTime(timePart);
        if (!t)
            return std::nullopt;
        fraction = t->msecsSinceStartOfDay() / double(kMsPerDay);
    }
    return days >= 0 ? days + fraction : days - fraction;
}

QJsonArray pairsToJson(const TLagerDoubleStringList &list)
{
    QJsonArray out;
    for (const auto &pair : list)
        out.append(QJsonObject{{u"key"_s, pair.Key}, {u"val"_s, pair.Value}});
    return out;
}

QJsonValue dsnValue(const TDsnElement &e)
{
    switch (e.Kind) {
    case TDsnElement::Text:
        return e.TextValue;
    case TDsnElement::Integer:
        return e.IntValue;
    case TDsnElement::Boolean:
        return e.BoolValue;
    case TDsnElement::Date:
    case TDsnElement::Time:
    case TDsnElement::DateAndTime:
        return e.FloatValue;
    default:
        return QJsonValue::Null; // unknown kinds keep no value
    }
}

class Reader
{
public:
    explicit Reader(QStringList &errors) : m_errors(errors) {}

    void wrongType(const QString &key)
    {
        m_errors.append(formatText(tx("\"%s\": der Wert hat den falschen Typ."), {key}));
    }

    bool integer(const QString &key, const QJsonValue &v, qint64 &out)
    {
        const double d = v.toDouble();
        if (!v.isDouble() || d != std::floor(d) || std::abs(d) > 9.0e15) {
            wrongType(key);
            return false;
        }
        out = qint64(d);
        return true;
    }

    void scalar(const TLagerArtikelFeld &f, const QJsonValue &v, TLagerArtikelDaten &a)
    {
        if (f.IsText()) {
            if (!v.isString())
                return wrongType(f.key);
            f.Text(a) = v.toString();
            // the stock table would cut a longer text without a word
            if (f.width > 0 && f.Text(a).size() > f.width)
                m_errors.append(formatText(tx("\"%s\": der Text ist laenger als %s Zeichen."),
                                           {f.key, QString::number(f.width)}));
        } else if (f.IsBool()) {
            if (!v.isBool())
                return wrongType(f.key);
            f.Bool(a) = v.toBool();
        } else if (f.IsFloat()) {
            if (!v.isDouble())
                return wrongType(f.key);
            f.Float(a) = v.toDouble();
        } else if (f.IsMoney()) {
            if (!v.isDouble())
                return wrongType(f.key);
            if (!MoneyFromDouble(v.toDouble(), f.Amount(a)))
                m_errors.append(formatText(tx("\"%s\": %s liegt nicht im erlaubten Bereich."),
                                           {f.key, QString::number(v.toDouble())}));
        } else {
            qint64 n = 0;
            if (integer(f.key, v, n) && !f.SetInteger(a, n))
                m_errors.append(formatText(tx("\"%s\": %s liegt nicht im erlaubten Bereich."),
                                           {f.key, QString::number(n)}));
        }
    }

    void periods(const QJsonValue &v, TLagerArtikelDaten &a)
    {
        if (!v.isArray())
            return wrongType(kPeriods);
        for (const QJsonValue &entry : v.toArray()) {
            if (!entry.isString())
                return wrongType(kPeriods);
            a.MindestBestand.append(entry.toString());
        }
    }

    void pairs(const QString &key, const QJsonValue &v, TLagerDoubleStringList &list)
    {
        if (!v.isArray())
            return wrongType(key);
        for (const QJsonValue &entry : v.toArray()) {
            const QJsonObject o = entry.toObject();
            const QJsonValue k = o.value(u"key"_s), val = o.value(u"val"_s);
            if (!entry.isObject() || o.size() != 2 || !k.isString() || !val.isString())
                return wrongType(key);
            list.Add(k.toString(), val.toString());
        }
    }

    void extraValues(const QJsonValue &v, TLagerArtikelDaten &a)
    {
        if (!v.isArray())
            return wrongType(kZusatzdaten);
        for (const QJsonValue &entry : v.toArray()) {
            const QJsonObject o = entry.toObject();
            const QJsonValue name = o.value(u"name"_s), value = o.value(u"value"_s);
            qint64 kind = 0;
            if (!entry.isObject() || !name.isString() ||
                !integer(kZusatzdaten, o.value(u"type"_s), kind) || kind < 0 || kind > 255)
                return wrongType(kZusatzdaten);
            TDsnElement e;
            e.Name = name.toString();
            e.Kind = quint8(kind);
            bool ok = true;
            switch (e.Kind) {
            case TDsnElement::Text:
                ok = value.isString();
                e.TextValue = value.toString();
                break;
            case TDsnElement::Integer: {
                qint64 n = 0;
                ok = value.isDouble() && integer(kZusatzdaten, value, n) &&
                     n >= std::numeric_limits<qint32>::min() &&
                     n <= std::numeric_limits<qint32>::max();
                e.IntValue = qint32(n);
                break;
            }
            case TDsnElement::Boolean:
                ok = value.isBool();
                e.BoolValue = value.toBool();
                break;
            case TDsnElement::Date:
            case TDsnElement::Time:
            case TDsnElement::DateAndTime:
                if (!o.contains(kIso)) {
                    ok = value.isDouble();
                    e.FloatValue = value.toDouble();
                } else if (!dated(kZusatzdaten + u'.' + e.Name, o.contains(u"value"_s), value,
                                  o.value(kIso), isoKindOf(e.Kind), e.FloatValue)) {
                    continue; // the error is listed; the entry is not taken
                }
                break;
            default:
                break;
            }
            if (!ok)
                return wrongType(kZusatzdaten + u'.' + e.Name);
            a.Zusatzdaten.Add(e);
        }
    }

    // A day number given as a number, as ISO text or as both; both must name the same
    // reading, and then the number is taken as it stands so that nothing of it is rounded.
    bool dated(const QString &key, bool hasNumber, const QJsonValue &number, const QJsonValue &iso,
               IsoKind kind, double &out)
    {
        if (hasNumber && !number.isDouble()) {
            wrongType(key);
            return false;
        }
        const std::optional<double> parsed =
            iso.isString() ? fromIso(iso.toString(), kind) : std::nullopt;
        if (!parsed) {
            m_errors.append(formatText(tx("\"%s\": \"%s\" ist keine Angabe nach ISO 8601 "
                                          "ohne Zeitzone."),
                                       {key, iso.isString() ? iso.toString() : QString()}));
            return false;
        }
        if (!hasNumber) {
            out = *parsed;
            return true;
        }
        if (toIso(number.toDouble(), kind) != toIso(*parsed, kind)) {
            m_errors.append(
                formatText(tx("\"%s\": Zahl und ISO-Angabe widersprechen sich."), {key}));
            return false;
        }
        out = number.toDouble();
        return true;
    }

private:
    QStringList &m_errors;
};
} // namespace

QJsonObject LagerArtikelJson::ToJson(const TLagerArtikelDaten &article)
{
    const TLagerArtikelDaten &a = article;
    QJsonObject o;
    for (const TLagerArtikelFeld &f : TLagerArtikelFeld::All()) {
        if (f.IsText())
            o.insert(f.key, f.Text(a));
        else if (f.IsBool())
            o.insert(f.key, f.Bool(a));
        else if (f.IsFloat())
            o.insert(f.key, f.Float(a));
        else if (f.IsMoney())
            o.insert(f.key, f.Amount(a).toDouble());
        else
            o.insert(f.key, f.Integer(a));
    }
    for (const IsoField &f : kIsoFields)
        if (const QString iso = toIso(a.*f.member, IsoKind::DateTime); !iso.isEmpty())
            o.insert(f.isoKey, iso);
    o.insert(kPeriods, QJsonArray::fromStringList(a.MindestBestand));
    o.insert(kKatRefs, pairsToJson(a.KatRefs));
    o.insert(kBilder, pairsToJson(a.Bilder));
    QJsonArray extra;
    for (const TDsnElement &e : a.Zusatzdaten) {
        QJsonObject entry{{u"name"_s, e.Name}, {u"type"_s, int(e.Kind)}, {u"value"_s, dsnValue(e)}};
        if (e.Kind >= TDsnElement::Date && e.Kind <= TDsnElement::DateAndTime)
            if (const QString iso = toIso(e.FloatValue, isoKindOf(e.Kind)); !iso.isEmpty())
                entry.insert(kIso, iso);
        extra.append(entry);
    }
    o.insert(kZusatzdaten, extra);
    return o;
}

bool LagerArtikelJson::FromJson(const QJsonObject &object, TLagerArtikelDaten &article,
                                QStringList &errors)
{
    const qsizetype before = errors.size();
    Reader read(errors);
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        if (const TLagerArtikelFeld *f = TLagerArtikelFeld::ByKey(key))
            read.scalar(*f, it.value(), article);
        else if (key == kPeriods)
            read.periods(it.value(), article);
        else if (key == kKatRefs)
            read.pairs(key, it.value(), article.KatRefs);
        else if (key == kBilder)
            read.pairs(key, it.value(), article.Bilder);
        else if (key == kZusatzdaten)
            read.extraValues(it.value(), article);
        else if (std::any_of(std::begin(kIsoFields), std::end(kIsoFields),
                             [&key](const IsoField &f) { return f.isoKey == key; }))
            continue; // below, once the number beside it is known
        else
            errors.append(
                formatText(tx("\"%s\" ist kein Feld des Artikels."), {InputChecks::Echo(key)}));
    }
    for (const IsoField &f : kIsoFields)
        if (object.contains(f.isoKey))
            read.dated(f.isoKey, object.contains(f.numberKey), object.value(f.numberKey),
                       object.value(f.isoKey), IsoKind::DateTime, article.*f.member);
    // The record never holds a price unit below 1; the XML text would not keep one anyway.
    if (article.PE < 1)
        errors.append(formatText(tx("\"%s\": %s liegt nicht im erlaubten Bereich."),
                                 {u"PE"_s, QString::number(article.PE)}));
    return errors.size() == before;
}
