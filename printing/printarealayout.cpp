#include "printing/printarealayout.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace
{
constexpr int kMaxLength = 100000;

int length(const TXMLAttributes &a, const char *name)
{
    return std::clamp(a.Int(name, 0), 0, kMaxLength);
}

TVatRateType vatRateType(const QString &text)
{
    if (text.compare(u"inclusive"_s, Qt::CaseInsensitive) == 0)
        return TVatRateType::Inclusive;
    if (text.compare(u"plus"_s, Qt::CaseInsensitive) == 0)
        return TVatRateType::Plus;
    if (text.compare(u"without"_s, Qt::CaseInsensitive) == 0)
        return TVatRateType::Without;
    return TVatRateType::None;
}

TPrintAreaRowLayout readRow(const TXMLAttributes &a)
{
    TPrintAreaRowLayout r;
    r.Background = unsigned(a.Int("background", 0xFFFFFF)) & 0xFFFFFFu;
    r.AsBarcode = a.Bool("asbarcode", false);
    r.BarcodeHeight = length(a, "barcodeheight");
    if (!a.Has("barcodeheight"))
        r.BarcodeHeight = 100;
    r.BarcodeType = a.Int("barcodetype", 3);
    r.BarcodeShowText = a.Int("barcodeshowtext", 0);
    r.ForceFreeLine = a.Bool("forcefreeline", false);
    r.ForceLine = a.Bool("forceline", false);
    r.ForceFreeLineHeight = length(a, "forcefreelineheight");
    r.OriginalRtf = a.Bool("originalrtf", false);
    r.ReplaceFont = a.Bool("replacefont", false);
    r.FontStyle = a.Int("fontstyle", 0);
    r.FontSize = std::clamp(a.Int("fontsize", 0), 0, 1000);
    r.Font = a.Value("font");
    r.FontColor = unsigned(a.Int("fontcolor", 0)) & 0xFFFFFFu;
    r.WordWrap = a.Bool("wordwrap", false);
    r.Multiple = a.Value("multiple");
    r.MultipleTarget = a.Value("multipletarget");
    r.MultipleOneFirstShot = a.Bool("multipleonefirstshot", false);
    r.MultipleOneLastShot = a.Bool("multipleonelastshot", false);
    r.PrintIfTarget = a.Value("printiftarget");
    r.Underline = a.Int("underline", 0);
    r.RequestForPrint = a.Bool("requestforprint", false);
    r.RequestFor = a.Value("requestfor");
    r.RequestStdResult = a.Bool("requeststdresult", true);
    r.Align = alignFromText(a.Value("align"));
    r.Param = a.Value("param");
    r.ExtendParam = a.Value("extendparam");
    r.PreParam = a.Value("preparam");
    r.PreParamContent = a.Value("preparamcontent");
    r.ReplaceTextParam = a.Bool("replacetextparam", false);
    r.BooleanAs = a.Value("booleanas");
    r.BooleanYes = a.Value("booleanyes");
    r.BooleanNo = a.Value("booleanno");
    r.ContentType = a.Value("contenttype");
    r.StretchImage = a.Bool("stretchimage", false);
    return r;
}
} // namespace

TPrintAlign alignFromText(const QString &text)
{
    if (text == u"RIGHT")
        return TPrintAlign::Right;
    if (text == u"CENTER")
        return TPrintAlign::Center;
    if (text == u"BLOCK")
        return TPrintAlign::Block;
    return TPrintAlign::Left;
}

void TPrintAreaLayoutFile::Clear()
{
    HeaderLayouts.clear();
    AreaLayouts.clear();
    m_inHeader = false;
}

void TPrintAreaLayoutFile::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    if (name == u"printareaheaderlayout") {
        HeaderLayouts.push_back({a.Value("name"), {}});
        m_inHeader = true;
    } else if (name == u"headercol") {
        if (!m_inHeader || HeaderLayouts.empty())
            return;
        TPrintColumnLayoutItem c;
        c.Caption = a.Value("caption");
        c.CaptStyle = a.Value("captstyle");
        c.Width = length(a, "width");
        c.MarginLeft = length(a, "marginleft");
        c.MarginRight = length(a, "marginright");
        c.Utc = a.Bool("utc", false);
        c.Align = alignFromText(a.Value("align"));
        HeaderLayouts.back().Columns.push_back(std::move(c));
    } else if (name == u"printarealayout") {
        TPrintAreaLayout l;
        l.Name = a.Value("name");
        l.MarginTop = length(a, "margintop");
        l.MarginBottom = length(a, "marginbottom");
        l.VatRateType = vatRateType(a.Value("vatratetype"));
        AreaLayouts.push_back(std::move(l));
        m_inHeader = false;
    } else if (name == u"col") {
        if (m_inHeader || AreaLayouts.empty())
            return;
        AreaLayouts.back().Columns.push_back(
            {length(a, "width"), length(a, "marginleft"), length(a, "marginright"), {}});
    } else if (name == u"row") {
        if (m_inHeader || AreaLayouts.empty() || AreaLayouts.back().Columns.empty())
            return;
        AreaLayouts.back().Columns.back().Rows.push_back(readRow(a));
        ResetCharacters();
    }
}

void TPrintAreaLayoutFile::Characters(QStringView text)
{
    if (CurrentElement == u"row")
        AppendCharacters(text);
}

void TPrintAreaLayoutFile::EndElement(const QString &name)
{
    if (name == u"row" && !AreaLayouts.empty() && !AreaLayouts.back().Columns.empty() &&
        !AreaLayouts.back().Columns.back().Rows.empty() && !m_inHeader)
        AreaLayouts.back().Columns.back().Rows.back().Pattern = CharacterText();
    else if (name == u"printareaheaderlayout")
        m_inHeader = false;
    CurrentElement.clear();
}
