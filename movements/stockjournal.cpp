#include "movements/stockjournal.h"

#include "base/formatsettings.h"
#include "base/messages.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace
{

// The code page's characters at 0x80-0x9F; 0 where it has none.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char toByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == c)
            return char(0x80 + i);
    return '?';
}

} // namespace

QString StockJournal::FileName(const QString &stockDir)
{
    return stockDir + u"LAGER.NFO"_s;
}

QString StockJournal::Line(const QDateTime &when, const QString &user, const QString &nr,
                           double oldStock, double newStock, const QString &serialPart)
{
    const FormatSettings &f = FormatSettings::current();
    const QString stamp =
        when.toString(f.shortDateFormat) + u' ' + when.toString(f.shortTimeFormat);
    return formatText(u"%s %s: Artikel %s von %s nach %s - SN: "_s,
                      {stamp, user, nr, floatToText(oldStock), floatToText(newStock)}) +
           serialPart;
}

QByteArray StockJournal::ToWindows1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A pair stands for one character beyond 16 bits: one "?", not two.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append(toByte(c.unicode()));
    }
    return bytes;
}

bool StockJournal::AppendLineToFile(const QString &fileName, const QString &line)
{
    QFile file(fileName);
    const QByteArray bytes = ToWindows1252(line) + "\r\n";
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Append);
    ok = ok && file.write(bytes) == bytes.size();
    ok = ok && file.flush();
    if (ok) {
        file.close();
        ok = file.error() == QFileDevice::NoError;
    }
    if (!ok)
        ReportMessage(MessageKind::Error, u"LogToFile\r\n"_s + file.errorString());
    return ok;
}
