#include "tests/support/documents.h"

#include "persistence/xml/dbxmlcoreobject.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace TestDocuments
{

QByteArray golden(const char *folder, const char *name)
{
    return fileBytes(QStringLiteral(STOCK_TESTS_DIR "/") + QLatin1String(folder) + u"/data/"_s +
                     QLatin1String(name));
}

void expectGoldenText(const char *folder, const char *name, const QString &actual)
{
    const QString path = QStringLiteral(STOCK_TESTS_DIR "/") + QLatin1String(folder) + u"/data/"_s +
                         QLatin1String(name);
    if (qgetenv("STOCK_WRITE_GOLDEN") == "1") {
        EXPECT_TRUE(writeFile(path, actual.toUtf8())) << path.toStdString();
        return;
    }
    EXPECT_EQ(actual.toStdString(), fileBytes(path).toStdString()) << "golden file " << name;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray utf16(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

QByteArray utf16File(const QString &text)
{
    return QByteArray("\xFF\xFE", 2) + utf16(text);
}

QString fromUtf16(const QByteArray &bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData(), text.size(), text.data());
    return text;
}

std::string asText(const QByteArray &utf16Bytes)
{
    return fromUtf16(utf16Bytes).toStdString();
}

QByteArray written(TDBXMLCoreObject &obj)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    obj.SaveToStream(&buffer);
    return buffer.data();
}

void read(TDBXMLCoreObject &obj, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    obj.LoadFromStream(&buffer);
}

QString withDeclaration(const QString &body)
{
    return u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"_s + body;
}

} // namespace TestDocuments
