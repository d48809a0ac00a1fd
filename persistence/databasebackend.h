#pragma once

#include <QString>

// Where a client's tables live: SQLite files in the data directories (the default), or a
// PostgreSQL server. The client's SYSDATA.INI names it in section [Datenbank], protected as
// its other values are:
//   Backend=PostgreSQL
//   Verbindung=host=db.firma.local dbname=lager user=lager
// The connection string never carries a password: the server's password file (~/.pgpass or
// PGPASSFILE) supplies it, so that the setting can lie in a shared directory.
struct DatabaseBackend {
    enum Kind { Sqlite, PostgreSql };
    Kind kind = Sqlite;
    QString connection; // PostgreSQL only: key=value pairs or a postgresql:// URL

    // Empty when the choice is usable; else the German message why not. Security settings
    // fail closed: an unknown backend or a password in the string is refused, never taken
    // for SQLite.
    QString error;
    bool ok() const { return error.isEmpty(); }
};

DatabaseBackend parseDatabaseBackend(const QString &backend, const QString &connection);
