#pragma once

#include "persistence/xml/dbxmlcoreobject.h"

#include <QString>
#include <memory>
#include <vector>

// Print-area layouts: how one area of a list print (head, rows, totals) is cut into columns
// and what each column prints. Kept by the suite in <target>PRINTAREATYPE.XML and the firm's
// <target>UDPRINTAREATYPE.XML; this module only reads them.

enum class TPrintAlign { Left = 0, Right = 1, Center = 2, Block = 3 };
TPrintAlign alignFromText(const QString &text);

struct TPrintColumnLayoutItem {
    QString Caption, CaptStyle;
    int Width = 0, MarginLeft = 0, MarginRight = 0;
    bool Utc = false;
    TPrintAlign Align = TPrintAlign::Left;
};

// A header layout: the column captions above the print area.
struct TPrintColumnLayout {
    QString Name;
    std::vector<TPrintColumnLayoutItem> Columns;
};

struct TPrintAreaRowLayout {
    unsigned Background = 0xFFFFFF;
    bool AsBarcode = false;
    int BarcodeHeight = 100, BarcodeType = 3, BarcodeShowText = 0;
    bool ForceFreeLine = false, ForceLine = false;
    int ForceFreeLineHeight = 0;
    bool OriginalRtf = false, ReplaceFont = false;
    int FontStyle = 0, FontSize = 0;
    QString Font;
    unsigned FontColor = 0;
    bool WordWrap = false;
    QString Multiple, MultipleTarget;
    bool MultipleOneFirstShot = false, MultipleOneLastShot = false;
    QString PrintIfTarget;
    int Underline = 0;
    bool RequestForPrint = false;
    QString RequestFor;
    bool RequestStdResult = true;
    TPrintAlign Align = TPrintAlign::Left;
    QString Param, ExtendParam, PreParam, PreParamContent;
    bool ReplaceTextParam = false;
    QString BooleanAs, BooleanYes, BooleanNo, ContentType;
    bool StretchImage = false;
    QString Pattern; // the element text
};

struct TPrintAreaColumnLayout {
    int Width = 0, MarginLeft = 0, MarginRight = 0;
    std::vector<TPrintAreaRowLayout> Rows;
};

enum class TVatRateType { None, Inclusive, Plus, Without };

struct TPrintAreaLayout {
    QString Name;
    int MarginTop = 0, MarginBottom = 0;
    TVatRateType VatRateType = TVatRateType::None;
    std::vector<TPrintAreaColumnLayout> Columns;
};

class TPrintAreaLayoutFile : public TDBXMLCoreObject
{
public:
    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    void Clear() override;
    void WriteXML(bool, const QString &) override {} // the module never writes layouts

    std::vector<TPrintColumnLayout> HeaderLayouts;
    std::vector<TPrintAreaLayout> AreaLayouts;

private:
    bool m_inHeader = false;
};
