#include "catalogs/katalog1artikelhelper.h"

#include "base/formatsettings.h"
#include "base/translation.h"
#include "catalogs/katalog1artikel.h"
#include "catalogs/katalogviewmodel.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace
{
QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString picture(const QString &catalogDir, const TKatalog1AnbindObj &g, int height)
{
    const QString file = catalogDir + u"IMAGES/"_s + g.Dateiname + u'.' + g.Erweiterung;
    return u"<img src=\"%1\" height=\"%2\" alt=\"%3\">"_s.arg(
        QUrl::fromLocalFile(file).toString().toHtmlEscaped(), QString::number(height),
        esc(g.Beschreibung));
}

void row(QString &html, const char *label, const QString &value, bool bold = false)
{
    html += u"<tr><td>"_s + tx(label) + u": </td><td>"_s;
    html += bold ? u"<b>"_s + esc(value) + u"</b>"_s : esc(value);
    html += u"</td></tr>"_s;
}
} // namespace

QString TKatalog1ArtikelHelper::Html(const TKatalog1Artikel &a, const QString &catalogDir)
{
    const auto money = [](Money m) { return TKatalogViewModel::MoneyText(m); };
    QString html = u"<html><body>"_s;
    if (a.AnbindObjekte.Count() > 0)
        html += u"<p>"_s + picture(catalogDir, a.AnbindObjekte.Item(0), 100) + u"</p>"_s;
    html += u"<p style=\"font-size:30px; font-weight:bold\">"_s + esc(a.KurzZeile1) + u"<br>"_s +
            esc(a.KurzZeile2) + u"</p>"_s;
    html += u"<p>"_s + tx("Artikel-Nr.") + u": "_s + esc(a.ArtikelNr) + u"</p>"_s;
    html += u"<table width=\"100%\"><tr><td valign=\"top\"><table>"_s;
    row(html, "Listenpreis", money(a.Listenpreis));
    row(html, "Rabatt", money(Money::fromDouble(a.Rabatt)) + u" %"_s);
    row(html, "Nettopreis", money(a.Netto), true);
    row(html, "Preiseinheit", QString::number(a.Preiseinheit));
    const char *const vk[] = {txNoop("VK-Preis 2"), txNoop("VK-Preis 3"), txNoop("VK-Preis 4"),
                              txNoop("VK-Preis 5")};
    for (int i = 0; i < 4; ++i)
        row(html, vk[i], money(a.VKPreise[size_t(i)]));
    row(html, "Mengeneinheit", a.ME);
    html += u"<tr><td>&nbsp;</td></tr>"_s;
    row(html, "Rabattgruppe", a.Rabattgruppe);
    row(html, "Hauptwarengruppe", a.Hauptwarengruppe);
    row(html, "Warengruppe", a.Warengruppe);
    row(html, "Kostenart", a.Kostenart);
    row(html, "Matchcode", a.Matchcode);
    row(html, "Katalogseite", a.Katalogseite);
    row(html, "EAN", a.EAN);
    html += u"</table></td><td valign=\"top\"><b>"_s + tx("Langtext") + u"</b><br>"_s;
    html += esc(a.Langtext).replace(u"\r\n"_s, u"<br>"_s).replace(u'\n', u"<br>"_s);
    for (qsizetype i = 1; i < a.AnbindObjekte.Count(); ++i)
        html += u"<br>"_s + picture(catalogDir, a.AnbindObjekte.Item(i), 100);
    html += u"</td></tr></table></body></html>"_s;
    return html;
}
