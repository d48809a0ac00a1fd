#pragma once

#include <QByteArray>
#include <QString>
#include <string>

class TDBXMLCoreObject;

// Bytes and texts of stored documents, shared by every test that compares or feeds them.
namespace TestDocuments
{
// A file under tests/<folder>/data; empty when it cannot be read.
QByteArray golden(const char *folder, const char *name);
// Compares a text with a golden file under tests/<folder>/data. With STOCK_WRITE_GOLDEN=1 in
// the environment the file is written instead (review the diff before committing it).
void expectGoldenText(const char *folder, const char *name, const QString &actual);
QByteArray fileBytes(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

// The UTF-16LE code units of a text, without and with the byte-order mark.
QByteArray utf16(const QString &text);
QByteArray utf16File(const QString &text);
QString fromUtf16(const QByteArray &bytes);
// Readable diffs when a golden comparison fails.
std::string asText(const QByteArray &utf16Bytes);

// The whole document as a file or the XMLDATA column receives it, and the way back.
QByteArray written(TDBXMLCoreObject &obj);
void read(TDBXMLCoreObject &obj, const QByteArray &bytes);
// The declaration every writer puts in front of a document, with its byte-order mark.
QString withDeclaration(const QString &body);
} // namespace TestDocuments
