#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <stdexcept>

// Failures of the persistence layer's byte streams. The texts are the stream's own (English),
// they are not shown to the user without a translated lead text.
class EStreamError : public std::runtime_error
{
public:
    explicit EStreamError(const char *message) : std::runtime_error(message) {}
    explicit EStreamError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

class EWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

// A growable in-memory byte stream that holds UTF-16 text. Readers collect element text in it
// without repeated string concatenation; its memory is kept when the size is reset.
class TDBXMLWideStringStream
{
public:
    enum class Origin { Beginning, Current, End };

    TDBXMLWideStringStream() = default;
    explicit TDBXMLWideStringStream(QStringView text);
    TDBXMLWideStringStream(const TDBXMLWideStringStream &) = delete;
    TDBXMLWideStringStream &operator=(const TDBXMLWideStringStream &) = delete;

    // Copies at most Size() - Position() bytes and advances; returns the bytes copied.
    qint64 Read(void *buffer, qint64 count);
    // Grows the size (rounded up to even) when writing past it; returns count.
    qint64 Write(const void *buffer, qint64 count);
    // Origin::End counts backwards: the position becomes Size() - offset. Always clamped.
    qint64 Seek(qint64 offset, Origin origin);

    // Throws EStreamError for an odd or negative size.
    void SetSize(qint64 size);
    // Throws EStreamError when below the size.
    void SetCapacity(qint64 capacity);
    // Writes all code units at the position; throws EWriteError at an odd position.
    void WriteText(QStringView text);
    // Empties the stream but keeps its memory.
    void Reset()
    {
        m_size = 0;
        m_position = 0;
    }

    qint64 Size() const { return m_size; }
    qint64 Capacity() const { return m_capacity; }
    qint64 Position() const { return m_position; }
    void SetPosition(qint64 position) { Seek(position, Origin::Beginning); }
    const char *Memory() const { return m_data.get(); }

    // Size() / 2 code units from the start.
    QString DataString() const;
    QStringView DataView() const;

private:
    std::unique_ptr<char[]> m_data;
    qint64 m_size = 0;
    qint64 m_capacity = 0;
    qint64 m_position = 0;
};
