#include "movements/articlegroupings.h"

#include "base/messages.h"
#include "base/translation.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace
{

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

bool needsQuotes(const QString &member)
{
    for (QChar c : member)
        if (isBlank(c) || c == u',' || c == u'"')
            return true;
    return false;
}

void writeFailed(const QString &name, const QString &why)
{
    ShowMessageBoxFmt(tx("Die Datei \"%s\" kann nicht geschrieben werden: %s"), {name, why},
                      MsgDlgType::Error, MsgButton::OK);
}

} // namespace

QString ArticleGroupings::FileName(const QString &stockDir)
{
    return stockDir + u"LAGER_ARTGRP.DAT"_s;
}

QString ArticleGroupings::CommaText(const QStringList &members)
{
    QString line;
    for (qsizetype i = 0; i < members.size(); ++i) {
        if (i > 0)
            line += u',';
        const QString &m = members[i];
        if (needsQuotes(m)) {
            QString inner = m;
            line += u'"' + inner.replace(u"\""_s, u"\"\""_s) + u'"';
        } else {
            line += m;
        }
    }
    return line;
}

QStringList ArticleGroupings::ReadCommaText(QStringView line)
{
    QStringList items;
    const qsizetype n = line.size();
    qsizetype p = 0;
    const auto skipBlanks = [&] {
        while (p < n && isBlank(line[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        QString item;
        if (line[p] == u'"') {
            ++p;
            while (p < n) {
                if (line[p] == u'"') {
                    if (p + 1 < n && line[p + 1] == u'"') {
                        item += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += line[p++];
            }
        } else {
            const qsizetype start = p;
            while (p < n && !isBlank(line[p]) && line[p] != u',')
                ++p;
            item = line.mid(start, p - start).toString();
        }
        items.append(item);
        skipBlanks();
        if (p < n && line[p] == u',') {
            // A comma at the very end stands for one more, empty item.
            if (p + 1 == n)
                items.append(QString());
            ++p;
            skipBlanks();
        }
    }
    return items;
}

bool ArticleGroupings::LoadGroupings(const QString &stockDir, TStringStringlistObjectList &target)
{
    QFile file(FileName(stockDir));
    if (!file.open(QIODevice::ReadOnly))
        return !target.IsEmpty();
    const QByteArray bytes = file.readAll();
    // The suite writes UTF-16LE with a byte-order mark; a file without one is 8-bit text.
    const auto encoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decode(encoding.value_or(QStringConverter::Latin1),
                          QStringConverter::Flag::Stateless);
    QString text = decode(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    int number = 0;
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        QStringList members = ReadCommaText(line);
        if (members.isEmpty())
            continue;
        TStringStringlist &g = target.Add(TStringStringlist{});
        g.Name = QString::number(++number);
        g.List = std::move(members);
    }
    return !target.IsEmpty();
}

bool ArticleGroupings::SaveGroupings(const QString &stockDir,
                                     const TStringStringlistObjectList &groupings)
{
    QString text;
    for (const TStringStringlist &g : groupings)
        if (!g.List.isEmpty())
            text += CommaText(g.List) + u"\r\n"_s;
    const QString name = FileName(stockDir);
    if (text.isEmpty()) {
        QFile file(name);
        if (file.exists() && !file.remove()) {
            writeFailed(name, file.errorString());
            return false;
        }
        return true;
    }
    QStringEncoder encode(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray bytes = encode(text);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        writeFailed(name, file.errorString());
        return false;
    }
    return true;
}

const TStringStringlist *ArticleGroupings::GroupingOf(const TStringStringlistObjectList &groupings,
                                                      const QString &nr)
{
    for (const TStringStringlist &g : groupings)
        if (g.List.contains(nr))
            return &g;
    return nullptr;
}
