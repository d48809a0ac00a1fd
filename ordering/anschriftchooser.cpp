#include "ordering/anschriftchooser.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace
{

constexpr qsizetype kNameWidth = 35;

QString cutName(const QString &name)
{
    return name.size() > kNameWidth ? name.left(kNameWidth) + u"..."_s : name;
}

} // namespace

QString AnschriftRowText(const TCustomerAnschrift &a)
{
    QStringList parts;
    parts << (a.AArt.isEmpty() ? a.Id : a.Id + u" - "_s + a.AArt);
    for (const QString *name : {&a.Name1, &a.Name2, &a.Name3, &a.Name4})
        if (!name->isEmpty())
            parts << cutName(*name);
    if (!a.Strasse.isEmpty())
        parts << a.Strasse;
    QString town = a.Plz;
    if (!a.Land.isEmpty())
        town = a.Land + u'-' + town;
    if (!a.Ort.isEmpty())
        town = town.isEmpty() ? a.Ort : town + u' ' + a.Ort;
    if (!town.isEmpty())
        parts << town;
    return parts.join(u", "_s);
}
