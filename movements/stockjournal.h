#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

// The stock journal "LAGER.NFO": one line per manual stock change, in the 8-bit code page
// the suite's programs on Windows read (Windows-1252), each ended by CR LF.
namespace StockJournal
{
// The journal of the stock directory (which ends with a separator).
QString FileName(const QString &stockDir);

// "<date> <time> <user>: Artikel <nr> von <old> nach <new> - SN: <serialPart>"; date, time
// and numbers in the installation's formats, so every workstation writes the same form.
QString Line(const QDateTime &when, const QString &user, const QString &nr, double oldStock,
             double newStock, const QString &serialPart);

// Windows-1252 as that code page defines it: Latin-1 below 0x80 and from 0xA0, its own
// characters at 0x80-0x9F, "?" for every character it lacks (one per character, also for
// those beyond 16 bits). Qt without ICU brings no such codec.
QByteArray ToWindows1252(QStringView text);

// Appends the line and CR LF, creating the file when it does not exist. A failure is
// reported as an error ("LogToFile" and the system's text) and returns false.
bool AppendLineToFile(const QString &fileName, const QString &line);
} // namespace StockJournal
