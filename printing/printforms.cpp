#include "printing/printforms.h"

#include "base/translation.h"
#include "printing/printxml.h"

#include <QDir>
#include <algorithm>

using namespace Qt::StringLiterals;
using printxml::attr;

namespace
{
// Damaged files must not drive the print program's pixel arithmetic into overflow.
constexpr int kMaxLength = 100000;

int length(const TXMLAttributes &a, const char *name, int def = 0)
{
    return std::clamp(a.Int(name, def), -kMaxLength, kMaxLength);
}

unsigned colour(const TXMLAttributes &a, const char *name, unsigned def)
{
    return unsigned(a.Int(name, int(def))) & 0xFFFFFFu;
}

void readElement(TPrintFormElement &e, const TXMLAttributes &a)
{
    e.Name = a.Value("name");
    e.Left = length(a, "left");
    e.Top = length(a, "top");
    e.Width = std::max(0, length(a, "width"));
    e.Height = std::max(0, length(a, "height"));
}

std::unique_ptr<TPrintFormElement> readTyped(const TXMLAttributes &a)
{
    switch (a.Int("type", -1)) {
    case TPrintFormElement::Variable: {
        auto v = std::make_unique<TPrintFormElementVariable>();
        v->Var = a.Value("var");
        if (a.Has("font"))
            v->Font = a.Value("font");
        v->FontSize = std::clamp(a.Int("fontsize", 10), 0, 1000);
        v->Color = colour(a, "color", 0);
        v->Bold = a.Bool("bold", false);
        v->Italic = a.Bool("italic", false);
        v->Underline = a.Bool("underline", false);
        v->RightAlign = a.Bool("rightalign", false);
        v->WordWrap = a.Bool("ww", false);
        v->Barcode = a.Bool("bc", false);
        v->BarcodeType = a.Int("bctype", 3);
        v->BarcodeShowText = a.Int("bcshowtxt", 0);
        return v;
    }
    case TPrintFormElement::Image: {
        auto i = std::make_unique<TPrintFormElementImage>();
        i->ImageFile = a.Value("imagefile");
        i->Stretch = a.Bool("stretch", false);
        return i;
    }
    case TPrintFormElement::TextFile: {
        auto t = std::make_unique<TPrintFormElementText>();
        t->TextFileName = a.Value("textfile");
        t->WordWrap = a.Bool("ww", false);
        t->Cv = a.Bool("cv", false);
        return t;
    }
    case TPrintFormElement::Object: {
        auto o = std::make_unique<TPrintFormElementObject>();
        o->ObjType = a.Int("objtype", 0);
        o->Color = colour(a, "color", 0);
        o->LineWidth = std::clamp(a.Int("linewidth", 0), 0, kMaxLength);
        o->Style = a.Int("style", 0);
        return o;
    }
    default:
        return nullptr; // a type this program cannot draw is dropped, not guessed
    }
}

QString elementAttributes(const TPrintFormElement &e)
{
    QString s = attr("name", e.Name) + attr("left", e.Left) + attr("top", e.Top) +
                attr("width", e.Width) + attr("height", e.Height) + attr("type", e.ElementType());
    switch (e.ElementType()) {
    case TPrintFormElement::Variable: {
        const auto &v = static_cast<const TPrintFormElementVariable &>(e);
        s += attr("var", v.Var) + attr("font", v.Font) + attr("fontsize", v.FontSize) +
             attr("color", (long long)v.Color) + attr("bold", v.Bold) + attr("italic", v.Italic) +
             attr("underline", v.Underline) + attr("rightalign", v.RightAlign) +
             attr("ww", v.WordWrap) + attr("bc", v.Barcode) + attr("bctype", v.BarcodeType) +
             attr("bcshowtxt", v.BarcodeShowText);
        break;
    }
    case TPrintFormElement::Image: {
        const auto &i = static_cast<const TPrintFormElementImage &>(e);
        s += attr("imagefile", i.ImageFile) + attr("stretch", i.Stretch);
        break;
    }
    case TPrintFormElement::TextFile: {
        const auto &t = static_cast<const TPrintFormElementText &>(e);
        s += attr("textfile", t.TextFileName) + attr("ww", t.WordWrap) + attr("cv", t.Cv);
        break;
    }
    case TPrintFormElement::Object: {
        const auto &o = static_cast<const TPrintFormElementObject &>(e);
        s += attr("objtype", o.ObjType) + attr("color", (long long)o.Color) +
             attr("linewidth", o.LineWidth) + attr("style", o.Style);
        break;
    }
    }
    return s;
}
} // namespace

QString TPrintForms::FileNameIn(const QString &formsDir)
{
    return QDir(formsDir).filePath(u"FORMULAR.XML"_s);
}

void TPrintForms::StartElement(const QString &name, const TXMLAttributes &a)
{
    if (name == u"form") {
        auto f = std::make_unique<TPrintForm>();
        f->Name = a.Value("name");
        f->Description = a.Value("descr");
        f->Group = quint8(std::clamp(a.Int("group", 0), 0, 255));
        f->BaseOn = a.Value("baseon");
        f->BkColor = colour(a, "bkcolor", 0xFFFFFF);
        f->Orient = a.Value("orientation") == u"landscape" ? TPrintForm::Orientation::Landscape
                                                           : TPrintForm::Orientation::Portrait;
        f->PaperFormat =
            a.Value("paperformat") == u"A5" ? TPrintForm::Paper::A5 : TPrintForm::Paper::A4;
        f->DefaultPrinterEnabled = a.Bool("defaultprinterenabled", false);
        f->DefaultPrinter = a.Value("defaultprinter");
        Forms.push_back(std::move(f));
        return;
    }
    if (Forms.empty())
        return;
    TPrintForm &f = *Forms.back();
    if (name == u"printarea") {
        auto p = std::make_unique<TPrintFormPrintArea>();
        p->Left = length(a, "left");
        p->Top = length(a, "top");
        p->Width = std::max(0, length(a, "width"));
        p->Height = std::max(0, length(a, "height"));
        if (a.Has("font"))
            p->Font = a.Value("font");
        p->FontSize = std::clamp(a.Int("fontsize", 10), 0, 1000);
        p->Color = colour(a, "color", 0);
        p->PrintHeader = a.Bool("printheader", false);
        p->PrintHeaderAfterVT = a.Bool("printheaderaftervt", false);
        if (a.Has("hdfont"))
            p->HdFont = a.Value("hdfont");
        p->HdFontSize = std::clamp(a.Int("hdfontsize", 10), 0, 1000);
        p->HdColor = colour(a, "hdcolor", 0);
        p->HdMarginTop = length(a, "hdmargintop");
        p->HdMarginBottom = length(a, "hdmarginbottom");
        p->HdBorder = a.Int("hdborder", 0);
        p->HdCBorder = a.Bool("hdcborder", false);
        p->BWidth = length(a, "bwidth");
        p->BStyle = a.Int("bstyle", 0);
        p->BColor = colour(a, "bcolor", 0);
        p->PaBorder = a.Bool("paborder", false);
        p->PaBorderWidth = length(a, "paborderwidth");
        p->PaBorderStyle = a.Int("paborderstyle", 0);
        p->PaBorderColor = colour(a, "pabordercolor", 0);
        p->Ut = a.Bool("ut", false);
        f.PrintArea = std::move(p);
    } else if (name == u"element") {
        if (auto e = readTyped(a)) {
            readElement(*e, a);
            f.Elements.push_back(std::move(e));
        }
    }
}

void TPrintForms::WriteXML(bool, const QString &indent)
{
    const QString i1 = indent + u"  "_s, i2 = i1 + u"  "_s;
    WriteLine(indent + u"<forms>"_s);
    for (const auto &f : Forms) {
        WriteLine(i1 + u"<form"_s + attr("name", f->Name) + attr("descr", f->Description) +
                  attr("group", f->Group) + attr("baseon", f->BaseOn) +
                  attr("bkcolor", (long long)f->BkColor) +
                  attr("orientation", f->Orient == TPrintForm::Orientation::Landscape
                                          ? u"landscape"_s
                                          : u"portrait"_s) +
                  attr("paperformat", f->PaperFormat == TPrintForm::Paper::A5 ? u"A5"_s : u"A4"_s) +
                  attr("defaultprinterenabled", f->DefaultPrinterEnabled) +
                  attr("defaultprinter", f->DefaultPrinter) + u'>');
        if (const TPrintFormPrintArea *p = f->PrintArea.get())
            WriteLine(
                i2 + u"<printarea"_s + attr("left", p->Left) + attr("top", p->Top) +
                attr("width", p->Width) + attr("height", p->Height) + attr("font", p->Font) +
                attr("fontsize", p->FontSize) + attr("color", (long long)p->Color) +
                attr("printheader", p->PrintHeader) +
                attr("printheaderaftervt", p->PrintHeaderAfterVT) + attr("hdfont", p->HdFont) +
                attr("hdfontsize", p->HdFontSize) + attr("hdcolor", (long long)p->HdColor) +
                attr("hdmargintop", p->HdMarginTop) + attr("hdmarginbottom", p->HdMarginBottom) +
                attr("hdborder", p->HdBorder) + attr("hdcborder", p->HdCBorder) +
                attr("bwidth", p->BWidth) + attr("bstyle", p->BStyle) +
                attr("bcolor", (long long)p->BColor) + attr("paborder", p->PaBorder) +
                attr("paborderwidth", p->PaBorderWidth) + attr("paborderstyle", p->PaBorderStyle) +
                attr("pabordercolor", (long long)p->PaBorderColor) + attr("ut", p->Ut) + u" />"_s);
        for (const auto &e : f->Elements)
            WriteLine(i2 + u"<element"_s + elementAttributes(*e) + u" />"_s);
        WriteLine(i1 + u"</form>"_s);
    }
    WriteLine(indent + u"</forms>"_s);
}

const TPrintForm *TPrintForms::Find(const QString &name) const
{
    for (const auto &f : Forms)
        if (f->Name.compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

std::vector<TPrintFormChoice> SelectableForms(const TPrintForms &forms,
                                              const QList<int> &allowedGroups)
{
    std::vector<TPrintFormChoice> result;
    for (const auto &f : forms.Forms) {
        if (f->Group >= 16 || !allowedGroups.contains(int(f->Group)))
            continue;
        const QString orientation =
            f->Orient == TPrintForm::Orientation::Landscape ? tx("Querformat") : tx("Hochformat");
        const QString paper = f->PaperFormat == TPrintForm::Paper::A5 ? u"A5"_s : u"A4"_s;
        QString text = f->Name;
        if (!f->Description.isEmpty())
            text += u" - "_s + f->Description;
        result.push_back({f->Name, text + u" ("_s + orientation + u", "_s + paper + u')'});
    }
    return result;
}

int PreselectedForm(const std::vector<TPrintFormChoice> &choices, const QString &current)
{
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i].Name.compare(current, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}
