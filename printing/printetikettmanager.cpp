#include "printing/printetikettmanager.h"

#include "persistence/xml/xmltext.h"

#include <QDir>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
// Lengths beyond ten metres and the like come from damaged files; they are cut to what a
// sheet can hold instead of overflowing the pixel arithmetic.
constexpr int kMaxLength = 100000;

int length(const TXMLAttributes &a, const char *name)
{
    return std::clamp(a.Int(name, 0), -kMaxLength, kMaxLength);
}

int extent(const TXMLAttributes &a, const char *name)
{
    return std::clamp(a.Int(name, 0), 0, kMaxLength);
}

int byteValue(const TXMLAttributes &a, const char *name, int def)
{
    return std::clamp(a.Int(name, def), 0, 255);
}

unsigned colour(const TXMLAttributes &a, const char *name, unsigned def)
{
    return unsigned(a.Int(name, int(def))) & 0xFFFFFFu;
}

void readGeometry(TPrintEtikettElement &e, const TXMLAttributes &a)
{
    e.Name = a.Value("name");
    e.Left = length(a, "left");
    e.Top = length(a, "top");
    e.Width = extent(a, "width");
    e.Height = extent(a, "height");
}

QString flag(bool b)
{
    return b ? u"-1"_s : u"0"_s;
}

QString attr(const char *name, const QString &value)
{
    return u' ' + QLatin1StringView(name) + u"=\""_s + EncodeXMLText(value) + u'"';
}

QString attr(const char *name, long long value)
{
    return attr(name, QString::number(value));
}

QString geometry(const TPrintEtikettElement &e)
{
    return attr("name", e.Name) + attr("left", e.Left) + attr("top", e.Top) +
           attr("width", e.Width) + attr("height", e.Height);
}
} // namespace

QString TPrintEtikettManager::FileNameIn(const QString &formsDir)
{
    return QDir(formsDir).filePath(u"LABELS_STOCK.XML"_s);
}

void TPrintEtikettManager::Clear()
{
    Forms.clear();
    Etiketten.clear();
    m_open = Open::None;
}

void TPrintEtikettManager::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    if (name == u"formular") {
        auto f = std::make_unique<TPrintEtikettForm>();
        f->Name = a.Value("name");
        f->Type = byteValue(a, "type", 0);
        f->Portrait = a.Bool("orientation", true);
        f->Width = extent(a, "width");
        f->Height = extent(a, "height");
        Forms.push_back(std::move(f));
        m_open = Open::Form;
    } else if (name == u"etikettref" && m_open == Open::Form) {
        TPrintEtikettHolder h;
        h.Name = a.Value("name");
        h.Left = length(a, "left");
        h.Top = length(a, "top");
        Forms.back()->Holders.push_back(std::move(h));
    } else if (name == u"etikett") {
        auto e = std::make_unique<TPrintEtikett>();
        e->Name = a.Value("name");
        e->Width = extent(a, "width");
        e->Height = extent(a, "height");
        e->WithBorder = a.Bool("withborder", false);
        Etiketten.push_back(std::move(e));
        m_open = Open::Etikett;
    } else if (m_open == Open::Etikett && name == u"etikettvar") {
        auto v = std::make_unique<TPrintEtikettElementVariable>();
        readGeometry(*v, a);
        v->Var = a.Value("var");
        v->VarType = byteValue(a, "vartype", 1);
        v->Ortp = a.Bool("ortp", false);
        v->FontName = a.Value("fname");
        v->Color = colour(a, "color", 0);
        v->Bold = a.Bool("bold", false);
        v->Italic = a.Bool("italic", false);
        v->Underline = a.Bool("underl", false);
        v->RightAlign = a.Bool("ralign", false);
        v->FontSize = std::clamp(a.Int("fsize", 10), 1, 1000);
        v->WordWrap = a.Bool("wwrap", false);
        Etiketten.back()->Elements.push_back(std::move(v));
    } else if (m_open == Open::Etikett && name == u"etikettobj") {
        auto o = std::make_unique<TPrintEtikettElementObject>();
        readGeometry(*o, a);
        o->ObjType = byteValue(a, "objtype", 1);
        o->Color = colour(a, "color", 0);
        o->Fill = a.Bool("fill", false);
        o->FillColor = colour(a, "fillcolor", 0xFFFFFF);
        o->LineWidth = std::clamp(a.Int("linewidth", 1), 0, 1000);
        o->Style = byteValue(a, "style", 0);
        Etiketten.back()->Elements.push_back(std::move(o));
    } else if (m_open == Open::Etikett && name == u"etikettbarc") {
        auto b = std::make_unique<TPrintEtikettElementBarcode>();
        readGeometry(*b, a);
        b->Var = a.Value("var");
        b->Barcode = byteValue(a, "barcode", 3);
        b->ShowText = a.Int("showtext", 1) != 0;
        b->ShowTextPos = byteValue(a, "showtextpos", 5);
        Etiketten.back()->Elements.push_back(std::move(b));
    }
}

void TPrintEtikettManager::EndElement(const QString &name)
{
    if (name == u"formular" || name == u"etikett")
        m_open = Open::None;
    CurrentElement.clear();
}

void TPrintEtikettManager::WriteXML(bool, const QString &indent)
{
    const QString i1 = indent + u"  "_s, i2 = i1 + u"  "_s, i3 = i2 + u"  "_s;
    WriteLine(indent + u"<etiketten>"_s);
    WriteLine(i1 + u"<formularlist>"_s);
    for (const auto &f : Forms) {
        WriteLine(i2 + u"<formular"_s + attr("name", f->Name) + attr("type", f->Type) +
                  attr("orientation", flag(f->Portrait)) + attr("width", f->Width) +
                  attr("height", f->Height) + u'>');
        for (const TPrintEtikettHolder &h : f->Holders)
            WriteLine(i3 + u"<etikettref"_s + attr("name", h.Name) + attr("left", h.Left) +
                      attr("top", h.Top) + u" />"_s);
        WriteLine(i2 + u"</formular>"_s);
    }
    WriteLine(i1 + u"</formularlist>"_s);
    WriteLine(i1 + u"<etikettlist>"_s);
    for (const auto &e : Etiketten) {
        WriteLine(i2 + u"<etikett"_s + attr("name", e->Name) + attr("width", e->Width) +
                  attr("height", e->Height) + attr("withborder", flag(e->WithBorder)) + u'>');
        for (const auto &element : e->Elements) {
            switch (element->Kind()) {
            case EtikettElementKind::Variable: {
                const auto &v = static_cast<const TPrintEtikettElementVariable &>(*element);
                WriteLine(i3 + u"<etikettvar"_s + geometry(v) + attr("var", v.Var) +
                          attr("vartype", v.VarType) + attr("ortp", flag(v.Ortp)) +
                          attr("fname", v.FontName) + attr("color", v.Color) +
                          attr("bold", flag(v.Bold)) + attr("italic", flag(v.Italic)) +
                          attr("underl", flag(v.Underline)) + attr("ralign", flag(v.RightAlign)) +
                          attr("fsize", v.FontSize) + attr("wwrap", flag(v.WordWrap)) + u" />"_s);
                break;
            }
            case EtikettElementKind::Object: {
                const auto &o = static_cast<const TPrintEtikettElementObject &>(*element);
                WriteLine(i3 + u"<etikettobj"_s + geometry(o) + attr("objtype", o.ObjType) +
                          attr("color", o.Color) + attr("fill", flag(o.Fill)) +
                          attr("fillcolor", o.FillColor) + attr("linewidth", o.LineWidth) +
                          attr("style", o.Style) + u" />"_s);
                break;
            }
            case EtikettElementKind::Barcode: {
                const auto &b = static_cast<const TPrintEtikettElementBarcode &>(*element);
                WriteLine(i3 + u"<etikettbarc"_s + geometry(b) + attr("var", b.Var) +
                          attr("barcode", b.Barcode) + attr("showtext", b.ShowText ? 1 : 0) +
                          attr("showtextpos", b.ShowTextPos) + u" />"_s);
                break;
            }
            }
        }
        WriteLine(i2 + u"</etikett>"_s);
    }
    WriteLine(i1 + u"</etikettlist>"_s);
    WriteLine(indent + u"</etiketten>"_s);
}

TPrintEtikett *TPrintEtikettManager::FindEtikett(const QString &name) const
{
    for (const auto &e : Etiketten)
        if (e->Name.compare(name, Qt::CaseInsensitive) == 0)
            return e.get();
    return nullptr;
}

TPrintEtikett *TPrintEtikettManager::Resolve(TPrintEtikettHolder &holder) const
{
    if (!holder.Resolved) {
        holder.Etikett = FindEtikett(holder.Name);
        holder.Resolved = true;
    }
    return holder.Etikett;
}

TPrintEtikettForm *TPrintEtikettManager::FindForm(const QString &name) const
{
    for (const auto &f : Forms)
        if (f->Name == name)
            return f.get();
    return nullptr;
}
