#pragma once

#include <QString>
#include <QStringList>

// Turns a wholesaler's DATANORM 4 delivery (a directory of DATANORM.nnn, DATANORM.RAB,
// DATANORM.WRG and DATPREIS.nnn files) into a DATANORM catalog with its word index, or
// updates one. docs/datanorm.md says what is read and how it lands.
class DatanormImport
{
public:
    struct Result {
        bool ok = false;
        bool cancelled = false;
        QString error;   // German, naming file and line for a broken file
        int written = 0; // articles written or replaced
        int deleted = 0;
        int skipped = 0; // unknown record types and renumbering records
        qint64 bytes = 0;
    };
    // catalogDir is the catalog's directory (created with SUPPLIER.INI when missing). Every
    // file is checked before anything is written; a broken delivery leaves the catalog as
    // it was. Progress and cancel through the interaction.
    static Result Import(const QString &deliveryDir, const QString &catalogDir,
                         const QString &supplier = {});

    // The text of one file: code page 850 or Windows-1252 (whichever its German letters
    // suggest), cut at a 0x1A byte.
    static QString Decode(const QByteArray &bytes);
    // The delivery's files in reading order; empty when there is no DATANORM.001.
    static QStringList DeliveryFiles(const QString &deliveryDir);
};
