#include "persistence/databasemapper.h"

#include "base/messages.h"
#include "base/translation.h"
#include "persistence/engine/tdbdatabase.h"
#include "persistence/engine/tdbtable.h"

#include <QFileInfo>

TDatabaseMapper::TDatabaseMapper(bool singleFile)
    : m_singleFile(singleFile), m_errorPrefix(tx("Datenbankfehler."))
{
}

bool TDatabaseMapper::Open(const QString &directory, const QString &fileName, bool exclusive)
{
    Close();
    EnsureTableObjects();
    const QString dir = PrepareDirectory(directory);
    if (dir.isEmpty()) {
        ReportMessage(MessageKind::Error,
                      formatText(tx("Kann Verzeichnis nicht anlegen: %s"), {directory}));
        return false;
    }
    m_directory = dir;
    m_fileName = fileName;
    try {
        openOrThrow(dir, exclusive);
    } catch (const std::exception &e) {
        Close();
        ReportError(
            &e, formatText(tx("Datenbank \"%s\" konnte nicht geoeffnet werden."), {ClassName()}));
        return false;
    }
    return true;
}

void TDatabaseMapper::openOrThrow(const QString &dir, bool exclusive)
{
    TTdbDatabase &db = *m_database;
    db.SetAutoDatabaseName(true);
    db.SetCaseSensitive(true);
    db.SetExclusive(exclusive);
    db.SetReadOnly(false);
    db.SetSharingMode(1);
    if (m_singleFile) {
        db.SetDatabaseType(TTdbDatabase::SingleFile);
        db.SetLocation(dir + m_fileName);
        m_lockPath = dir + m_fileName + QStringLiteral(".SRW");
        if (!QFileInfo::exists(dir + m_fileName))
            db.CreateDatabase();
    } else {
        db.SetDatabaseType(TTdbDatabase::Directory);
        db.SetLocation(dir);
        m_lockPath = dir + QStringLiteral("LOCKDB.SRW");
    }

    // A fresh single file lacks every table, so this creates all of them there too.
    for (int i = 0; i < int(m_tables.size()); ++i) {
        TTdbTable &table = *m_tables[size_t(i)];
        table.SetDatabaseName(db.DatabaseName());
        PrepareTable(i);
        if (table.Exists())
            continue;
        table.SetTableLevel(4);
        table.FieldDefs().Clear();
        table.IndexDefs().Clear();
        DefineTable(i);
        table.CreateTable();
    }

    db.Connect();
    OpenTables(exclusive);
    UpgradeTable();
    m_open = true;
    if (m_afterOpen)
        m_afterOpen();
}

void TDatabaseMapper::PrepareTablesForOpen()
{
    for (int i = 0; i < int(m_tables.size()); ++i)
        PrepareTable(i);
}

void TDatabaseMapper::ReportError(const std::exception *e, const QString &text)
{
    ReportMessage(MessageKind::Error, m_errorPrefix + u'\n' + text, nullptr, e);
}

void TDatabaseMapper::ReportOpenFailure(const std::exception &e, const QString &text)
{
    ReportError(&e, text);
}
