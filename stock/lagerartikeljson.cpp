#include "stock/lagerartikeljson.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/conversions.h"
#include "stock/inputchecks.h"
#include "stock/lagerartikelfeld.h"

#include <QJsonArray>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace
{
const QString kPeriods = u"MindestBestand"_s;
const QString kKatRefs = u"KatRefs"_s;
const QString kBilder = u"Bilder"_s;
const QString kZusatzdaten = u"Zusatzdaten"_s;

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
                ok = value.isDouble();
                e.FloatValue = value.toDouble();
                break;
            default:
                break;
            }
            if (!ok)
                return wrongType(kZusatzdaten + u'.' + e.Name);
            a.Zusatzdaten.Add(e);
        }
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
    o.insert(kPeriods, QJsonArray::fromStringList(a.MindestBestand));
    o.insert(kKatRefs, pairsToJson(a.KatRefs));
    o.insert(kBilder, pairsToJson(a.Bilder));
    QJsonArray extra;
    for (const TDsnElement &e : a.Zusatzdaten)
        extra.append(
            QJsonObject{{u"name"_s, e.Name}, {u"type"_s, int(e.Kind)}, {u"value"_s, dsnValue(e)}});
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
        else
            errors.append(
                formatText(tx("\"%s\" ist kein Feld des Artikels."), {InputChecks::Echo(key)}));
    }
    // The record never holds a price unit below 1; the XML text would not keep one anyway.
    if (article.PE < 1)
        errors.append(formatText(tx("\"%s\": %s liegt nicht im erlaubten Bereich."),
                                 {u"PE"_s, QString::number(article.PE)}));
    return errors.size() == before;
}
