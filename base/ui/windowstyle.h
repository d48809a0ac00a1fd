#pragma once

class IniFile;
class QString;
class QWidget;
class QRect;

// Colours and placement of a window from the user's APPLICATION.INI. The caller reads the
// file; mode is "Screenresolution"/"Forms" (0: 1024 x 690 centred, 1: work area, else as
// designed) and only matters for the main window; other windows are centred.
void ApplyWindowStyle(QWidget *window, bool isMain, int mode);
// The program-wide standard window rectangle remembered by the last ApplyWindowStyle.
QRect StandardWindowRect();
void ApplyWindowStyle(QWidget *window, bool isMain, const IniFile &applicationIni,
                      const QString &client);

// A dialog's last size and position, kept under section/"Geometry" of the user's
// MOD00501.INI. Restoring centres the window on its screen when nothing was remembered.
void RestoreWindowGeometry(QWidget *window, const IniFile &settings, const QString &section);
void SaveWindowGeometry(const QWidget *window, IniFile &settings, const QString &section);
