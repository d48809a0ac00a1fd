#include "tools/suitegen/datanormgenerator.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace
{
QByteArray header(const QString &info)
{
    const QString v = u"V 010126"_s + info.leftJustified(40, u' ', true) +
                      u"Generiert"_s.leftJustified(40) + QString().leftJustified(35) + u"04EUR"_s;
    return v.toLatin1() + "\r\n";
}

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size())
        return true;
    if (error)
        *error = u"cannot write %1"_s.arg(path);
    return false;
}

constexpr const char *kKinds[] = {"Kupferrohr",  "Pressfitting", "Kugelhahn",  "Rohrschelle",
                                  "Heizkoerper", "Umwaelzpumpe", "Waschtisch", "Thermostatkopf"};
constexpr const char *kGroups[] = {"CU", "MS", "ST", "KS"};
} // namespace

bool DatanormGenerator::GenerateDelivery(const QString &directory, int articles, quint32 seed,
                                         QString *error)
{
    const QString dir = directory.endsWith(u'/') ? directory : directory + u'/';
    QDir().mkpath(dir);
    QRandomGenerator rng(seed);
    QByteArray main = header(u"Artikel"_s);
    main.reserve(qsizetype(articles) * 200);
    for (int i = 0; i < articles; ++i) {
        const QByteArray nr = QByteArray::number(100000 + i);
        const char *kind = kKinds[rng.bounded(int(std::size(kKinds)))];
        const QByteArray group = kGroups[rng.bounded(int(std::size(kGroups)))];
        const int size = 10 + int(rng.bounded(90));
        const bool list = rng.bounded(2) == 0;
        const bool longText = i % 10 == 0;
        main += "A;N;" + nr + ";00;" + kind + ' ' + QByteArray::number(size) + ";DN " +
                QByteArray::number(size) + ";" + (list ? "1" : "2") + ";0;St;" +
                QByteArray::number(100 + rng.bounded(100000)) + ";" + group + ";" +
                QByteArray::number(i % 50) + ";" + (longText ? "L" + nr : QByteArray()) + ";\r\n";
        main += "B;N;" + nr + ";" + QByteArray(kind).toUpper() + ";;S. " +
                QByteArray::number(i / 40) + ";;;;40" + QByteArray::number(10000000000LL + i) +
                ";;" + QByteArray::number(i % 500) + ";;1;;;\r\n";
        if (longText) {
            main += "T;N;L" + nr + ";;1;;" + kind + " f\x81r Heizung und Sanit\x84r;2;;Gr\x94\xE1" +
                    "e " + QByteArray::number(size) + ";\r\n";
            main += "D;N;" + nr + ";1;F;;Lieferung einzeln verpackt;;;;;\r\n";
        }
    }
    QByteArray rab = header(u"Rabatte"_s);
    for (const char *g : kGroups)
        rab += QByteArray("R;;") + g + ";1;" + QByteArray::number(1000 + rng.bounded(3000)) +
               ";Gruppe " + g + ";\r\n";
    QByteArray wrg = header(u"Warengruppen"_s);
    for (int g = 0; g < 50; ++g)
        wrg += "S;;" + QByteArray::number(g) + ";Hauptgruppe " + QByteArray::number(g) + ";\r\n";
    return write(dir + u"DATANORM.001"_s, main, error) &&
           write(dir + u"DATANORM.RAB"_s, rab, error) && write(dir + u"DATANORM.WRG"_s, wrg, error);
}
