#pragma once

#include <QChar>
#include <QString>

// The program-wide number and date formats, the counterpart of the regional settings the
// suite's programs format with. Initialised from the system locale; tests set it explicitly.
struct FormatSettings {
    QChar decimalSeparator = u',';
    QChar thousandSeparator = u'.';
    QString shortDateFormat = QStringLiteral("dd.MM.yyyy");
    QString longTimeFormat = QStringLiteral("HH:mm:ss");
    QString shortTimeFormat = QStringLiteral("HH:mm");

    static FormatSettings &current();
    static void initFromSystemLocale();
    static FormatSettings german();
};

// General float format: at most 15 significant digits, shortest form, the program's decimal
// separator, no thousands separator, exponent written as "1E20" / "1E-7".
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
