#include "persistence/xml/xmltext.h"

namespace
{
const char16_t *entityFor(char16_t c)
{
    switch (c) {
    case u'\'':
        return u"&apos;";
    case u'<':
        return u"&lt;";
    case u'>':
        return u"&gt;";
    case u'&':
        return u"&amp;";
    case u'"':
        return u"&quot;";
    case u'\r':
        return u"&#13;";
    case u'\n':
        return u"&#10;";
    default:
        return nullptr;
    }
}

bool isNameEnd(QStringView text, qsizetype at)
{
    if (at >= text.size())
        return true;
    const QChar c = text.at(at);
    return c.isSpace() || c == u'/' || c == u'>';
}
} // namespace

void AppendEncodedXMLText(QString &out, QStringView text)
{
    // Copy runs without special characters in one piece; most texts have none at all.
    qsizetype runStart = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t *entity = entityFor(text.at(i).unicode());
        if (!entity)
            continue;
        out.append(text.mid(runStart, i - runStart));
        out.append(QStringView(entity));
        runStart = i + 1;
    }
    out.append(text.mid(runStart));
}

QString EncodeXMLText(QStringView text)
{
    QString out;
    out.reserve(text.size() + 16);
    AppendEncodedXMLText(out, text);
    return out;
}

QString XMLTagText(QStringView text, QStringView tag)
{
    const QString open = u'<' + tag.toString() + u'>';
    const QString close = QStringLiteral("</") + tag.toString() + u'>';
    const qsizetype start = text.indexOf(open);
    if (start < 0)
        return QString();
    const qsizetype from = start + open.size();
    const qsizetype end = text.indexOf(close, from);
    if (end < 0)
        return QString();
    return text.mid(from, end - from).trimmed().toString();
}

QString XMLTagAttribute(QStringView text, QStringView tag, QStringView attribute)
{
    if (tag.isEmpty() || attribute.isEmpty())
        return QString();
    const QString open = u'<' + tag.toString();
    qsizetype start = text.indexOf(open);
    // "<ab" must not match the element "<abc".
    while (start >= 0 && !isNameEnd(text, start + open.size()))
        start = text.indexOf(open, start + 1);
    if (start < 0)
        return QString();
    qsizetype end = text.indexOf(u"/>", start);
    if (end < 0)
        end = text.size();
    const QStringView element = text.mid(start + open.size(), end - start - open.size());
    const QString key = attribute.toString() + QStringLiteral("=\"");
    qsizetype at = element.indexOf(key);
    // Only a whole attribute name counts: "xnr=" is not "nr=".
    while (at > 0 && !element.at(at - 1).isSpace())
        at = element.indexOf(key, at + 1);
    if (at < 0)
        return QString();
    const qsizetype valueStart = at + key.size();
    qsizetype valueEnd = element.indexOf(u'"', valueStart);
    if (valueEnd < 0)
        valueEnd = element.size();
    return element.mid(valueStart, valueEnd - valueStart).toString();
}

QString TextBetween(QStringView text, QStringView opening, QStringView closing)
{
    const qsizetype start = text.indexOf(opening);
    if (start < 0)
        return QString();
    const qsizetype from = start + opening.size();
    const qsizetype end = text.indexOf(closing, from);
    if (end < 0)
        return QString();
    return text.mid(from, end - from).toString();
}

void AppendXMLAttribute(QString &out, QStringView name, QStringView value)
{
    out += u' ';
    out += name;
    out += u"=\"";
    // A reader folds a literal tab in an attribute into a blank, so tabs go as references
    // here; in element text they stay as they are.
    qsizetype runStart = 0;
    for (qsizetype i = value.indexOf(u'\t'); i >= 0; i = value.indexOf(u'\t', runStart)) {
        AppendEncodedXMLText(out, value.mid(runStart, i - runStart));
        out += u"&#9;";
        runStart = i + 1;
    }
    AppendEncodedXMLText(out, value.mid(runStart));
    out += u'"';
}
