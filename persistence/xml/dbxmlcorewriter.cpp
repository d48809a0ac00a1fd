#include "persistence/xml/dbxmlcorewriter.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/xml/dbxmlwidestringstream.h"

#include <QFile>
#include <QtEndian>

void WriteUtf16LE(QIODevice *device, QStringView text)
{
    if (text.isEmpty())
        return;
    qint64 written = 0;
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        written = device->write(reinterpret_cast<const char *>(text.utf16()),
                                text.size() * qint64(sizeof(char16_t)));
    } else {
        QByteArray bytes(text.size() * qsizetype(sizeof(char16_t)), Qt::Uninitialized);
        qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
        written = device->write(bytes);
    }
    if (written != text.size() * qint64(sizeof(char16_t)))
        throw EWriteError(QStringLiteral("Stream write error: ") + device->errorString());
}

std::unique_ptr<TDBXMLCoreWriter> TDBXMLCoreWriter::CreateForFile(const QString &fileName)
{
    if (QFile::exists(fileName) && !QFile::remove(fileName)) {
        // A read-only file may still be removable once it is writable again.
        QFile::setPermissions(fileName,
                              QFile::permissions(fileName) | QFile::WriteOwner | QFile::WriteUser);
        if (!QFile::remove(fileName)) {
            ReportMessage(MessageKind::Error,
                          formatText(tx("Kann Datei \"%s\" nicht loeschen."), {fileName}));
            return nullptr;
        }
    }
    auto file = std::make_unique<QFile>(fileName);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EStreamError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file->errorString()));
    auto writer = std::make_unique<TDBXMLCoreWriter>(file.release(), true);
    writer->Write(QStringView(u"\uFEFF"));
    writer->WriteLine(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>");
    return writer;
}

TDBXMLCoreWriter::TDBXMLCoreWriter(QIODevice *stream, bool ownsStream)
    : m_ownsStream(ownsStream), m_stream(stream)
{
}

TDBXMLCoreWriter::~TDBXMLCoreWriter()
{
    if (m_ownsStream)
        delete m_stream;
}

void TDBXMLCoreWriter::Write(QStringView text)
{
    WriteUtf16LE(m_stream, text);
}

void TDBXMLCoreWriter::WriteLine(QStringView text)
{
    WriteUtf16LE(m_stream, text);
    WriteUtf16LE(m_stream, u"\r\n");
}

void TDBXMLCoreWriter::WriteFmtLine(const QString &format, const QStringList &args)
{
    WriteLine(formatText(format, args));
}
