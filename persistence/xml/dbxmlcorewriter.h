#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

class QIODevice;

// Writes a large UTF-16 XML file line by line (print documents, layout files) without holding
// the whole document in memory.
class TDBXMLCoreWriter
{
public:
    // Replaces the file and writes U+FEFF and the XML declaration. A file that cannot be
    // deleted is reported ("Kann Datei ... nicht loeschen.") and gives null; a file that cannot
    // be created throws EStreamError.
    static std::unique_ptr<TDBXMLCoreWriter> CreateForFile(const QString &fileName);

    // Writes to a device that is already open; owns it when ownsStream.
    TDBXMLCoreWriter(QIODevice *stream, bool ownsStream);
    ~TDBXMLCoreWriter();
    TDBXMLCoreWriter(const TDBXMLCoreWriter &) = delete;
    TDBXMLCoreWriter &operator=(const TDBXMLCoreWriter &) = delete;

    // Text and CR LF, UTF-16LE; throws EWriteError when the device refuses it.
    void WriteLine(QStringView text);
    // %s / %d placeholders filled in order with the arguments.
    void WriteFmtLine(const QString &format, const QStringList &args);
    // Writes without line end (the byte-order mark and the declaration use it).
    void Write(QStringView text);

    QIODevice *Stream() const { return m_stream; }

private:
    bool m_ownsStream;
    QIODevice *m_stream;
};

// Appends text as UTF-16LE bytes to a device; throws EWriteError when it refuses them.
void WriteUtf16LE(QIODevice *device, QStringView text);
