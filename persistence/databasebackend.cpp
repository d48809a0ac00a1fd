#include "persistence/databasebackend.h"

#include "base/translation.h"

#include <postgresql/libpq-fe.h>

using namespace Qt::StringLiterals;

DatabaseBackend parseDatabaseBackend(const QString &backend, const QString &connection)
{
    DatabaseBackend result;
    const QString kind = backend.trimmed();
    if (kind.isEmpty() || kind.compare(u"SQLite"_s, Qt::CaseInsensitive) == 0)
        return result;
    if (kind.compare(u"PostgreSQL"_s, Qt::CaseInsensitive) != 0) {
        result.error =
            tx("Unbekannte Datenbank-Art \"%1\" (moeglich sind SQLite und PostgreSQL).").arg(kind);
        return result;
    }
    result.kind = DatabaseBackend::PostgreSql;
    result.connection = connection.trimmed();
    if (result.connection.isEmpty()) {
        result.error = tx("Fuer PostgreSQL fehlt die Verbindungsangabe (Verbindung=).");
        return result;
    }
    char *err = nullptr;
    PQconninfoOption *options = PQconninfoParse(result.connection.toUtf8().constData(), &err);
    if (!options) {
        result.error = tx("Die Verbindungsangabe der Datenbank ist ungueltig: %1")
                           .arg(err ? QString::fromUtf8(err).trimmed() : QString());
        PQfreemem(err);
        return result;
    }
    for (PQconninfoOption *o = options; o->keyword; ++o) {
        if (qstrcmp(o->keyword, "password") == 0 && o->val && *o->val) {
            result.error = tx("Die Verbindungsangabe der Datenbank enthaelt ein Kennwort. Das "
                              "Kennwort gehoert in die Kennwortdatei von PostgreSQL (.pgpass), "
                              "nicht in die Einstellungen.");
        }
    }
    PQconninfoFree(options);
    return result;
}
