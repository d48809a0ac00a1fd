#include "base/inifile.h"

#include "base/formatsettings.h"
#include "base/regularfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

IniFile::IniFile(const QString &fileName)
{
    load(fileName);
}

bool IniFile::load(const QString &fileName)
{
    m_fileName = fileName;
    m_sections.clear();
    m_notRegular = false;
    QFile file;
    switch (openRegularFile(file, fileName)) {
    case RegularFile::Opened:
        break;
    case RegularFile::NotRegular:
        m_notRegular = true;
        return false;
    default:
        return false;
    }
    const QByteArray bytes = file.readAll();
    QString text;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        auto decode = QStringDecoder(QStringDecoder::Utf16);
        text = decode(bytes);
    } else {
        // Files of the suite's older programs are single-byte; ours are UTF-8.
        auto utf8 = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8(bytes);
        if (utf8.hasError())
            text = QString::fromLatin1(bytes);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    setText(text);
    return true;
}

void IniFile::setText(const QString &text)
{
    m_sections.clear();
    Section *current = nullptr;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            current = &findOrAdd(trimmed.mid(1, trimmed.size() - 2));
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq < 0)
            continue;
        current->entries.append({line.left(eq).trimmed(), line.mid(eq + 1)});
    }
}

QString IniFile::text() const
{
    QString out;
    for (const Section &s : m_sections) {
        out += u'[' + s.name + QStringLiteral("]\r\n");
        for (const Entry &e : s.entries)
            out += e.key + u'=' + e.value + QStringLiteral("\r\n");
        out += QStringLiteral("\r\n");
    }
    return out;
}

bool IniFile::save() const
{
    return saveAs(m_fileName);
}

bool IniFile::saveAs(const QString &fileName) const
{
    // Written whole into a temporary file and renamed, so a crash never leaves half a file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text().toUtf8());
    return file.commit();
}

const IniFile::Section *IniFile::find(const QString &section) const
{
    for (const Section &s : m_sections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

IniFile::Section &IniFile::findOrAdd(const QString &section)
{
    for (Section &s : m_sections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            return s;
    m_sections.append({section, {}});
    return m_sections.last();
}

bool IniFile::sectionExists(const QString &section) const
{
    return find(section) != nullptr;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    const Section *s = find(section);
    if (!s)
        return false;
    for (const Entry &e : s->entries)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const Section &s : m_sections)
        names << s.name;
    return names;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            names << e.key;
    return names;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return e.value;
    return def;
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    QString v = readString(section, key).trimmed();
    bool ok = false;
    int result = v.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive) ? v.mid(2).toInt(&ok, 16)
                                                                         : v.toInt(&ok);
    return ok ? result : def;
}

double IniFile::readFloat(const QString &section, const QString &key, double def) const
{
    double result = 0;
    return textToFloat(readString(section, key), result) ? result : def;
}

bool IniFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    Section &s = findOrAdd(section);
    for (Entry &e : s.entries)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            e.value = value;
            return;
        }
    s.entries.append({key, value});
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeFloat(const QString &section, const QString &key, double value)
{
    writeString(section, key, floatToText(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::eraseSection(const QString &section)
{
    for (qsizetype i = 0; i < m_sections.size(); ++i)
        if (m_sections[i].name.compare(section, Qt::CaseInsensitive) == 0) {
            m_sections.removeAt(i);
            return;
        }
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    for (Section &s : m_sections)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            for (qsizetype i = 0; i < s.entries.size(); ++i)
                if (s.entries[i].key.compare(key, Qt::CaseInsensitive) == 0) {
                    s.entries.removeAt(i);
                    return;
                }
}
