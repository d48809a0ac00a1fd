#include "suite/inifilesec.h"

#include "persistence/conversions.h"

#include <QCryptographicHash>

#include <array>

namespace
{

// The program's fixed 160-bit key; changing it makes every existing protected file unreadable.
constexpr std::array<unsigned char, 20> kKey = {0x5A, 0x17, 0xC3, 0x8E, 0x21, 0x9B, 0x64,
                                                0xF0, 0x3D, 0xA7, 0x12, 0xE9, 0x4C, 0x76,
                                                0xB1, 0x08, 0xD5, 0x2F, 0x93, 0x6E};

QByteArray rc4(const QByteArray &data)
{
    std::array<unsigned char, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    unsigned j = 0;
    for (int i = 0; i < 256; ++i) {
        j = (j + s[i] + kKey[i % kKey.size()]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    QByteArray out(data.size(), Qt::Uninitialized);
    unsigned i = 0;
    j = 0;
    for (qsizetype n = 0; n < data.size(); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out[n] = static_cast<char>(static_cast<unsigned char>(data[n]) ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return out;
}

QByteArray utf16le(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QString fromUtf16le(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype n = 0; n + 1 < bytes.size(); n += 2)
        text.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[n]) |
                                                (static_cast<unsigned char>(bytes[n + 1]) << 8))));
    return text;
}

QString digest(const QString &section, const QString &key, const QString &value)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(utf16le(section + key + value), QCryptographicHash::Md5)
            .toHex()
            .toUpper());
}

} // namespace

QString encodeProtectedValue(const QString &section, const QString &key, const QString &value)
{
    const QString plain = digest(section, key, value) + value;
    return QString::fromLatin1(rc4(utf16le(plain)).toBase64());
}

bool decodeProtectedValue(const QString &section, const QString &key, const QString &stored,
                          QString &value)
{
    const auto decoded = QByteArray::fromBase64Encoding(stored.trimmed().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    const QString plain = fromUtf16le(rc4(*decoded));
    if (plain.size() < 32)
        return false;
    const QString candidate = plain.mid(32);
    if (plain.left(32) != digest(section, key, candidate))
        return false;
    value = candidate;
    return true;
}

TIniFileSec::TIniFileSec(const QString &fileName) : m_ini(fileName) {}

bool TIniFileSec::SectionExists(const QString &section) const
{
    return m_ini.sectionExists(section);
}

bool TIniFileSec::ValueExists(const QString &section, const QString &key) const
{
    return m_ini.valueExists(section, key);
}

bool TIniFileSec::decoded(const QString &section, const QString &key, QString &value) const
{
    if (!m_ini.valueExists(section, key))
        return false;
    return decodeProtectedValue(section, key, m_ini.readString(section, key), value);
}

TIniFileSec::State TIniFileSec::Read(const QString &section, const QString &key,
                                     QString &value) const
{
    value.clear();
    if (!m_ini.valueExists(section, key))
        return State::Missing;
    return decodeProtectedValue(section, key, m_ini.readString(section, key), value)
               ? State::Valid
               : State::Damaged;
}

QString TIniFileSec::ReadString(const QString &section, const QString &key,
                                const QString &def) const
{
    QString value;
    return decoded(section, key, value) ? value : def;
}

int TIniFileSec::ReadInteger(const QString &section, const QString &key, int def) const
{
    QString value;
    return decoded(section, key, value) ? StrToIntTolerant(value, def) : def;
}

double TIniFileSec::ReadFloat(const QString &section, const QString &key, double def) const
{
    QString value;
    return decoded(section, key, value) ? StrToFloatTolerant(value, def) : def;
}

bool TIniFileSec::ReadBool(const QString &section, const QString &key, bool def) const
{
    QString value;
    return decoded(section, key, value) ? StrToBoolTolerant(value, def) : def;
}

TIniFileSecWriter::TIniFileSecWriter(const QString &fileName) : m_ini(fileName) {}

void TIniFileSecWriter::writeString(const QString &section, const QString &key,
                                    const QString &value)
{
    m_ini.writeString(section, key, encodeProtectedValue(section, key, value));
}

void TIniFileSecWriter::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void TIniFileSecWriter::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFileSecWriter::writePlain(const QString &section, const QString &key, const QString &value)
{
    m_ini.writeString(section, key, value);
}

bool TIniFileSecWriter::save()
{
    return m_ini.save();
}
