#include "tools/suitegen/minstocktemplategenerator.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

bool GenerateMinStockTemplate(const QString &stockDir, QString *error)
{
    // An 8-bit file with CR LF lines, as the suite's own tools write it; the quantities are
    // left at 0 for each article to fill in.
    static const char kTemplate[] = "<from>0101</from><to>3103</to><mb>0</mb><bm>0</bm>\r\n"
                                    "<from>0104</from><to>3009</to><mb>0</mb><bm>0</bm>\r\n"
                                    "<from>0110</from><to>3112</to><mb>0</mb><bm>0</bm>\r\n";
    QFile file(QDir(stockDir).filePath(u"STDMB.TXT"_s));
    if (!QDir().mkpath(stockDir) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(kTemplate, qint64(sizeof kTemplate - 1)) != qint64(sizeof kTemplate - 1)) {
        if (error)
            *error = file.fileName() + u": "_s + file.errorString();
        return false;
    }
    return true;
}
