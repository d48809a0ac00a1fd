#pragma once

#include <QString>

class TBestellwesenConfig;

// The program's one ordering configuration; the window loads it at start-up, goods receipt
// from orders reads it.
TBestellwesenConfig &ProgramOrderingConfig();

// Loads CONFIG.XML of the ordering directory into config. A missing file leaves the defaults.
// A damaged one (not a regular file, unreadable, not well-formed) is reported and config goes
// back to the defaults, with a warning saying so: a half-read file could switch the automatic
// stock article search on with the lists behind it cut short, while the defaults only leave
// the receipt to the user. False when the file was damaged.
bool LoadOrderingConfig(TBestellwesenConfig &config, const QString &orderingDir);
