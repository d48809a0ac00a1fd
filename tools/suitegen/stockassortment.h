#pragma once

#include <QString>
#include <QStringList>

class QRandomGenerator;
struct TLagerArtikelDaten;

// What the generated plumbing and heating firm keeps in stock: kinds of articles with the
// sizes and materials they come in, prices that grow with the size, units of the firm's unit
// list, texts, minimum-stock periods, EAN-13 codes and pictures. Everything is drawn from the
// caller's generator, so one seed gives one stock.
namespace StockAssortment
{
// Fills a cleared record as the i-th article (i makes the number and the codes unique).
void FillArticle(QRandomGenerator &rng, int i, TLagerArtikelDaten &a);
// The lines of UNITS.TXT: the suite's units as the firm spells them; every article's unit is
// one of them.
QStringList Units();
// CONFIG.XML of the stock directory: the groups, places and discount groups the articles use.
bool WriteConfig(const QString &stockDir, QString *error);
// The pictures the articles name, as small PNG files in the images directory.
bool WritePictures(const QString &imagesDir, QString *error);
// The EAN-13 code of twelve digits: the digits and their check digit.
QString Ean13(const QString &twelveDigits);
} // namespace StockAssortment
