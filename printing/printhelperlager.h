#pragma once

#include <QString>
#include <QStringList>
#include <functional>

struct TLagerArtikelDaten;
struct TPrintValue;
class IModLagerDBServerObj;

// The stock article's values for the rows of a list print: "$100" and a number, "$1001043=<key>"
// for a picture, or "$100" and the name of one of the article's extra values.
class TPrintHelperLager
{
public:
    // What the values depend on besides the article; FromSuite() takes them from the
    // logged-on installation, tests set them directly.
    struct Settings {
        bool fourDecimals = false;
        QString currencyText;
        QString imagesDir;
        // The article's serial numbers in their table order.
        std::function<QStringList(const QString &nr)> serialNumbers;
    };
    static Settings FromSuite(IModLagerDBServerObj &db);

    explicit TPrintHelperLager(Settings settings) : m_settings(std::move(settings)) {}

    // False when the variable is none of the article's; kind is then left alone.
    bool Resolve(const QString &variable, int &kind, TPrintValue &value,
                 const TLagerArtikelDaten &article) const;
    // The serial-number variables; 0 for any other.
    int ResolveSerials(const QString &variable, TPrintValue &value,
                       const TLagerArtikelDaten &article) const;
    // The row area's callback: the article's values, then its serial numbers.
    int ResolveRow(const QString &variable, TPrintValue &value,
                   const TLagerArtikelDaten &article) const;

private:
    Settings m_settings;
};
