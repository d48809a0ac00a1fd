#pragma once

#include <QString>

// The installation tree every program of the suite shares, derived from where the program runs.
struct EnvironmentDirs {
    QString root, program, etc, tmp, log, data, usr, allUsers, hlp, rsc;
};

// Root of the tree for a program directory ending in "BIN" (case-insensitive) or "RSC/UPDATE";
// empty when the program does not sit in a known layout.
QString RootFromProgramDir(const QString &programDir);

// Checks the layout, creates the standard directories and sets up the translation. On an
// unknown layout a fatal message is reported and false returned; the caller ends the process.
bool InitEnvironment(const QString &programDir, EnvironmentDirs *dirs = nullptr);
