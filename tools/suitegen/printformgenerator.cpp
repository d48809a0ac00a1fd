#include "tools/suitegen/printformgenerator.h"

#include "persistence/xml/dbxmlcorewriter.h"
#include "persistence/xml/dbxmlwidestringstream.h"
#include "printing/printforms.h"
#include "printing/printxml.h"

#include <QDir>

using namespace Qt::StringLiterals;
using printxml::attr;

namespace
{
// Stock-list columns in tenths of a millimetre; they fill the portrait form's 180 mm area.
struct Column {
    const char *caption;
    int width;
    const char *align;
    const char *param;
    const char *pattern;
};
// Group names ("BEFESTIGUNG") and unit names ("Stck (Stück)") are printed whole; the
// description gives way, being the one column a reader still recognises when cut.
const Column kColumns[] = {
    {"Artikel-Nr.", 230, "", "$1001000", "%s"},   {"Bezeichnung", 480, "", "$1001002", "%s"},
    {"Gruppe", 200, "", "$1001005", "%s"},        {"Lagerort", 150, "", "$1001006", "%s"},
    {"Bestand", 160, "RIGHT", "$1001003", "%s"},  {"ME", 200, "", "$1001012", "%s"},
    {"EK-Preis", 170, "RIGHT", "$1001014", "%m"}, {"Wert", 210, "RIGHT", "$1001104", "%m"},
};

void variable(TPrintForm &f, const QString &name, const QString &var, int left, int top, int width,
              int size, bool bold = false, bool right = false)
{
    auto v = std::make_unique<TPrintFormElementVariable>();
    v->Name = name;
    v->Var = var;
    v->Left = left;
    v->Top = top;
    v->Width = width;
    v->Height = size * 6;
    v->Font = u"DejaVu Sans"_s;
    v->FontSize = size;
    v->Bold = bold;
    v->RightAlign = right;
    f.Elements.push_back(std::move(v));
}

// The company head comes in as page parameters, which the list print sets from the suite
// settings and the user's names; the form only places them.
std::unique_ptr<TPrintForm> listForm(const QString &name, const QString &descr, int group,
                                     bool landscape)
{
    const int pageWidth = landscape ? 2970 : 2100, pageHeight = landscape ? 2100 : 2970;
    const int left = 150, width = pageWidth - 2 * left;
    auto f = std::make_unique<TPrintForm>();
    f->Name = name;
    f->Description = descr;
    f->Group = quint8(group);
    f->Orient = landscape ? TPrintForm::Orientation::Landscape : TPrintForm::Orientation::Portrait;
    variable(*f, u"Firma"_s, u"$NameLang$"_s, left, 100, width / 2, 14, true);
    variable(*f, u"Bearbeiter"_s, u"$NameKurz$"_s, left, 190, width / 2, 9);
    variable(*f, u"Betreff"_s, u"$Betreff$"_s, left, 260, width, 11, true);
    variable(*f, u"Datum"_s, u"$Datum$"_s, left + width / 2, 100, width / 2, 9, false, true);
    variable(*f, u"Uhrzeit"_s, u"$Uhrzeit$"_s, left + width / 2, 160, width / 2, 9, false, true);
    variable(*f, u"Seite"_s, u"$SeitenNr$"_s, left + width / 2, pageHeight - 150, width / 2, 9,
             false, true);
    auto line = std::make_unique<TPrintFormElementObject>();
    line->Name = u"Linie"_s;
    line->Left = left;
    line->Top = 340;
    line->Width = width;
    line->ObjType = 1;
    line->LineWidth = 2;
    f->Elements.push_back(std::move(line));
    auto area = std::make_unique<TPrintFormPrintArea>();
    area->Left = left;
    area->Top = 380;
    area->Width = width;
    area->Height = pageHeight - 380 - 250;
    area->Font = area->HdFont = u"DejaVu Sans"_s;
    area->FontSize = 8;
    area->HdFontSize = 8;
    area->PrintHeader = area->PrintHeaderAfterVT = true;
    area->HdMarginBottom = 15;
    area->HdBorder = 1;
    f->PrintArea = std::move(area);
    return f;
}

QString typesets()
{
    QStringList l;
    l << u"<layoutsets area=\"Lager\">"_s
      << u"  <layoutset"_s + attr("name", u"Lagerliste"_s) + attr("headerlayout", u"Lagerliste"_s) +
             attr("section", u"002"_s) + attr("formular", u"Lagerliste Hochformat"_s) + u'>'
      << u"    <description>Lagerliste mit Lagerwert</description>"_s << u"    <main>"_s
      << u"      <printarealayout name=\"Lagerliste Zeile\" target=\"$1009000\" />"_s
      << u"    </main>"_s << u"    <foot>"_s
      << u"      <printarealayout name=\"Lagerliste Summen\" target=\"$1009000\" />"_s
      << u"    </foot>"_s << u"  </layoutset>"_s << u"</layoutsets>"_s;
    return l.join(u"\r\n"_s);
}

QString printareas()
{
    QStringList l;
    l << u"<printareatypes>"_s << u"  <printareaheaderlayout name=\"Lagerliste\">"_s;
    for (const Column &c : kColumns)
        l << u"    <headercol"_s + attr("caption", QString::fromUtf8(c.caption)) +
                 attr("captstyle", u"B"_s) + attr("width", c.width) + attr("marginleft", 10) +
                 attr("marginright", 10) + attr("align", QString::fromLatin1(c.align)) + u" />"_s;
    l << u"  </printareaheaderlayout>"_s << u"  <printarealayout name=\"Lagerliste Zeile\">"_s;
    for (const Column &c : kColumns)
        l << u"    <col"_s + attr("width", c.width) + attr("marginleft", 10) +
                 attr("marginright", 10) + u'>'
          << u"      <row"_s + attr("align", QString::fromLatin1(c.align)) +
                 attr("param", QString::fromLatin1(c.param)) + u'>' +
                 QString::fromLatin1(c.pattern) + u"</row>"_s
          << u"    </col>"_s;
    l << u"  </printarealayout>"_s
      << u"  <printarealayout name=\"Lagerliste Summen\" margintop=\"40\">"_s
      << u"    <col width=\"1800\" marginleft=\"10\" marginright=\"10\">"_s
      << u"      <row replacefont=\"-1\" font=\"DejaVu Sans\" fontstyle=\"1\" fontsize=\"9\" "
         u"param=\"$100102\">Anzahl Artikel: %d</row>"_s
      << u"      <row param=\"$1004\">Lagerwert (positive Bestaende): %m</row>"_s
      << u"      <row param=\"$1001\">Lagerwert (negative Bestaende): %m</row>"_s << u"    </col>"_s
      << u"  </printarealayout>"_s << u"</printareatypes>"_s;
    return l.join(u"\r\n"_s);
}

bool writeDocument(const QString &path, const QString &body, QString *error)
{
    try {
        auto w = TDBXMLCoreWriter::CreateForFile(path);
        if (!w)
            throw EStreamError("cannot replace");
        w->WriteLine(body);
        return true;
    } catch (const std::exception &e) {
        if (error)
            *error = path + u": "_s + QString::fromUtf8(e.what());
        return false;
    }
}
} // namespace

bool GeneratePrintForms(const QString &formsDir, QString *error)
{
    if (!QDir().mkpath(formsDir)) {
        if (error)
            *error = formsDir;
        return false;
    }
    const QDir dir(formsDir);
    TPrintForms forms;
    forms.Forms.push_back(listForm(u"Lagerliste Hochformat"_s, u"Liste A4 hoch"_s, 0, false));
    forms.Forms.push_back(listForm(u"Lagerliste Querformat"_s, u"Liste A4 quer"_s, 9, true));
    try {
        forms.SaveToFile(TPrintForms::FileNameIn(formsDir));
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return false;
    }
    return writeDocument(dir.filePath(u"01TYPESETS.XML"_s), typesets(), error) &&
           writeDocument(dir.filePath(u"01PRINTAREATYPE.XML"_s), printareas(), error);
}
