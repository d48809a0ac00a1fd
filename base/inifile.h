#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// An INI file held in memory: sections and keys keep their order and spelling, look-ups ignore
// case, and writing gives back plain INI text that the suite's other programs read.
// (QSettings reorders keys and escapes values, which would break files shared with them.)
class IniFile
{
public:
    IniFile() = default;
    explicit IniFile(const QString &fileName); // reads the file when it exists

    QString fileName() const { return m_fileName; }
    // False when the file is missing or unreadable, or is no regular file (a FIFO or a device
    // would block the read): then the file reads as empty.
    bool load(const QString &fileName);
    // The last load found something other than a regular file; callers report it.
    bool notRegular() const { return m_notRegular; }
    bool save() const;
    bool saveAs(const QString &fileName) const;
    void setText(const QString &text);
    QString text() const;

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    int readInteger(const QString &section, const QString &key, int def) const;
    double readFloat(const QString &section, const QString &key, double def) const;
    bool readBool(const QString &section, const QString &key, bool def) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeFloat(const QString &section, const QString &key, double value);
    void writeBool(const QString &section, const QString &key, bool value);
    void eraseSection(const QString &section);
    void deleteKey(const QString &section, const QString &key);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    const Section *find(const QString &section) const;
    Section &findOrAdd(const QString &section);

    QString m_fileName;
    QList<Section> m_sections;
    bool m_notRegular = false;
};
