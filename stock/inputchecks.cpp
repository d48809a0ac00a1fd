#include "stock/inputchecks.h"

#include "base/messages.h"
#include "base/translation.h"

namespace
{
bool isUnprintable(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Surrogate: // only unpaired ones reach here as single units
        return true;
    default:
        return false;
    }
}

bool hasUnprintable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (isUnprintable(c))
            return true;
    }
    return false;
}
} // namespace

QString InputChecks::ArticleNumber(const QString &text)
{
    return text.trimmed();
}

QString InputChecks::ArticleNumberProblem(const QString &number)
{
    if (number.isEmpty())
        return tx("Die Artikel-Nr. fehlt.");
    if (hasUnprintable(number))
        return formatText(tx("Die Artikel-Nr. \"%s\" enthaelt Steuerzeichen."), {Echo(number)});
    return {};
}

QString InputChecks::Echo(QStringView text, qsizetype maxLength)
{
    QString out;
    qsizetype i = 0;
    for (; i < text.size() && out.size() < maxLength; ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (isUnprintable(c)) {
            out += QStringLiteral("\\x") +
                   QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
        } else {
            out += c;
        }
    }
    if (i < text.size())
        out += QStringLiteral("...");
    return out;
}
