#include "persistence/xml/dbxmlwidestringstream.h"

#include <algorithm>
#include <cstring>
#include <limits>

TDBXMLWideStringStream::TDBXMLWideStringStream(QStringView text)
{
    WriteText(text);
    m_position = 0;
}

qint64 TDBXMLWideStringStream::Read(void *buffer, qint64 count)
{
    const qint64 n = std::clamp<qint64>(m_size - m_position, 0, std::max<qint64>(count, 0));
    if (n > 0) {
        std::memcpy(buffer, m_data.get() + m_position, size_t(n));
        m_position += n;
    }
    return n;
}

qint64 TDBXMLWideStringStream::Write(const void *buffer, qint64 count)
{
    if (count <= 0)
        return 0;
    if (count > std::numeric_limits<qint64>::max() - m_position - 1)
        throw EWriteError("Stream write error");
    const qint64 end = m_position + count;
    if (end > m_size)
        SetSize(end + (end & 1));
    std::memcpy(m_data.get() + m_position, buffer, size_t(count));
    m_position = end;
    return count;
}

qint64 TDBXMLWideStringStream::Seek(qint64 offset, Origin origin)
{
    qint64 target = offset;
    if (origin == Origin::Current)
        target = m_position + offset;
    else if (origin == Origin::End)
        target = m_size - offset;
    m_position = std::clamp<qint64>(target, 0, m_size);
    return m_position;
}

void TDBXMLWideStringStream::SetSize(qint64 size)
{
    if (size < 0)
        throw EStreamError("Negative stream size invalid");
    if (size & 1)
        throw EStreamError("Odd size not valid for WideString");
    if (size > m_capacity) {
        // Grow by a quarter so that text collected piece by piece is not copied each time.
        if (size > std::numeric_limits<qint64>::max() / 2)
            throw std::bad_alloc();
        SetCapacity((size + std::max<qint64>(size / 4, 8)) & ~qint64(3));
    }
    m_size = size;
    m_position = std::min(m_position, m_size);
}

void TDBXMLWideStringStream::SetCapacity(qint64 capacity)
{
    if (capacity < m_size)
        throw EStreamError("Capacity cannot be less than size");
    if (capacity == m_capacity)
        return;
    std::unique_ptr<char[]> data;
    if (capacity > 0) {
        data = std::make_unique_for_overwrite<char[]>(size_t(capacity));
        if (m_size > 0)
            std::memcpy(data.get(), m_data.get(), size_t(m_size));
    }
    m_data = std::move(data);
    m_capacity = capacity;
}

void TDBXMLWideStringStream::WriteText(QStringView text)
{
    if (m_position & 1)
        throw EWriteError("Cannot Write WideString to odd byte position");
    Write(text.utf16(), text.size() * qint64(sizeof(char16_t)));
}

QStringView TDBXMLWideStringStream::DataView() const
{
    if (m_size == 0)
        return {};
    return QStringView(reinterpret_cast<const char16_t *>(m_data.get()), m_size / 2);
}

QString TDBXMLWideStringStream::DataString() const
{
    return DataView().toString();
}
