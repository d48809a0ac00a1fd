#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <string_view>

class IniFile;

// The number and date formats of the installation: every program of one suite tree writes
// and reads stored numbers with them, whatever the locale of its process, so that two
// programs started under different locales read each other's files unchanged. Loaded at
// start-up from the suite's APPLICATION.INI; tests set it explicitly.
struct FormatSettings {
    QChar decimalSeparator = u',';
    QChar thousandSeparator = u'.';
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy");
    QString longTimeFormat = QStringLiteral("HH:mm:ss");
    QString shortTimeFormat = QStringLiteral("HH:mm");

    static FormatSettings &current();
    static FormatSettings german();
    // Section "Format", key "DecimalSeparator": "," (the default) or "."; anything else is
    // reported and gives the comma. Never taken from the process locale.
    static void loadInstallation(const IniFile &applicationIni);
    static FormatSettings withDecimalSeparator(QChar separator);
};

// General float format: at most 15 significant digits, shortest form, the installation's
// decimal separator, no thousands separator; fixed notation from 0.00001 up to 15 integer
// digits, exponent form outside, written as "1E20" / "1E-7".
QString floatToText(double value);
// The same with an explicit separator, for files that must not depend on the user's settings.
QString floatToText(double value, QChar decimalSeparator);

// floatToText appended to out, without the temporary texts: for writers of large documents.
void appendFloatText(QString &out, double value);
// floatToText written into a buffer of at least kFloatTextMax units; returns the length.
constexpr int kFloatTextMax = 32;
int writeFloatText(char16_t *buffer, double value);
// An integer in decimal appended to out.
void appendIntText(QString &out, qint64 value);

// A stored number as the writers above produce it, read back strictly: blanks around it,
// a sign, digits with one decimal separator ("," or "." alike, there is no grouping in
// stored texts) and an exponent. False for anything else.
bool textToFloat(QStringView text, double &value);
// "[-]digits[.digits][e[-]digits]" in ASCII to a double. Fifteen digits round the largest
// doubles just beyond the range ("1,79769313486232E308"); such a text reads as the largest
// double, anything further out fails.
bool asciiToDouble(std::string_view text, double &value);
