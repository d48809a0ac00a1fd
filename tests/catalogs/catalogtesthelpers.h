#pragma once

// Shared by the catalog tests: golden documents of the catalog articles (UTF-16LE files beside
// the tests, written by hand) and price settings without a logged-on client.

#include "catalogs/katalogpreiseinstellungen.h"
#include "persistence/xml/dbxmlcoreobject.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>

namespace CatalogTest
{
// With ccache's base directory the compiler sees this file by a path relative to the build
// tree, so a relative __FILE__ is looked up from the program's directory upwards.
inline QString dataDirectory()
{
    const QString self = QString::fromUtf8(__FILE__);
    if (QFileInfo(self).isAbsolute())
        return QFileInfo(self).dir().filePath(QStringLiteral("data"));
    QDir base(QCoreApplication::applicationDirPath());
    do {
        const QFileInfo candidate(base.filePath(self));
        if (candidate.exists())
            return candidate.dir().filePath(QStringLiteral("data"));
    } while (base.cdUp());
    return QString();
}

inline QByteArray goldenFile(const char *name)
{
    QFile f(QDir(dataDirectory()).filePath(QLatin1String(name)));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

inline QString asQString(const QByteArray &utf16)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(utf16.constData()),
                              utf16.size() / 2);
}

// Readable diffs when a golden comparison fails.
inline std::string asText(const QByteArray &utf16)
{
    return asQString(utf16).toStdString();
}

// The whole document as it goes into a file or the XMLDATA column.
inline QByteArray writtenDocument(TDBXMLCoreObject &obj)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    obj.SaveToStream(&buffer);
    return buffer.data();
}

inline void readDocument(TDBXMLCoreObject &obj, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    obj.LoadFromStream(&buffer);
}
// VAT code 1 has 19 %, code 3 7 %, every other 0 %.
inline TKatalogPreisEinstellungen priceSettings(bool fourDecimals, bool gross = false)
{
    TKatalogPreisEinstellungen s;
    s.FullCurrency = fourDecimals;
    s.SalePriceIsGross = gross;
    s.VATRate = [](int code) { return code == 1 ? 19.0 : code == 3 ? 7.0 : 0.0; };
    return s;
}
} // namespace CatalogTest
