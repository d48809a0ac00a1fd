#pragma once

class IniFile;
class QLineEdit;
class QString;
class QWidget;
class QRect;

// Colours and placement of a window. Widgets whose "tag" property is 1 to 5 take Color1 to
// Color5 of the colour scheme ("Colors-<client>" of the user's APPLICATION.INI) as their
// background. mode is "Screenresolution"/"Forms" (0: 1024 x 690 centred, 1: work area, else
// as designed) and only matters for the main window; other windows are centred.
void ApplyWindowStyle(QWidget *window, bool isMain, int mode);
// The program-wide standard window rectangle remembered by the last ApplyWindowStyle.
QRect StandardWindowRect();
// The main window's: the caller reads the file; the scheme stays in force for every window
// styled later.
void ApplyWindowStyle(QWidget *window, bool isMain, const IniFile &applicationIni,
                      const QString &client);
// Every other window, when it is created: the scheme of the main window, centred.
void ApplyWindowStyle(QWidget *window);
// The colours alone, for parts built after their window was styled (frames, pages).
void ApplyWindowColours(QWidget *widget);

// Makes a field read-only or editable and lets it look so: a read-only field shows the
// window's background instead of the white of an input field.
void ShowReadOnly(QLineEdit *field, bool readOnly);

// A dialog's last size and position, kept under section/"Geometry" of the user's
// MOD00501.INI. Restoring centres the window on its screen when nothing was remembered.
void RestoreWindowGeometry(QWidget *window, const IniFile &settings, const QString &section);
void SaveWindowGeometry(const QWidget *window, IniFile &settings, const QString &section);
