#pragma once

#include "persistence/xml/dbxmlcoreobject.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The print forms of one language, FORMULAR.XML in the forms directory: the page frames a
// list print flows into. The module only lists them and passes a name on; MOD00003 draws
// them. Lengths are tenths of a millimetre, as in the label files.

struct TPrintFormPrintArea {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    QString Font = QStringLiteral("Arial");
    int FontSize = 10;
    unsigned Color = 0;
    bool PrintHeader = false;
    bool PrintHeaderAfterVT = false;
    QString HdFont = QStringLiteral("Arial");
    int HdFontSize = 10;
    unsigned HdColor = 0;
    int HdMarginTop = 0, HdMarginBottom = 0;
    int HdBorder = 0;
    bool HdCBorder = false;
    int BWidth = 0, BStyle = 0;
    unsigned BColor = 0;
    bool PaBorder = false;
    int PaBorderWidth = 0, PaBorderStyle = 0;
    unsigned PaBorderColor = 0;
    bool Ut = false;
};

class TPrintFormElement
{
public:
    enum Type { Variable = 0, Image = 1, TextFile = 2, Object = 3 };
    virtual ~TPrintFormElement() = default;
    virtual int ElementType() const = 0;

    QString Name;
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

class TPrintFormElementVariable : public TPrintFormElement
{
public:
    int ElementType() const override { return Variable; }
    QString Var;
    QString Font = QStringLiteral("Arial");
    int FontSize = 10;
    unsigned Color = 0;
    bool Bold = false, Italic = false, Underline = false, RightAlign = false, WordWrap = false;
    bool Barcode = false;
    int BarcodeType = 3;
    int BarcodeShowText = 0;
};

class TPrintFormElementImage : public TPrintFormElement
{
public:
    int ElementType() const override { return Image; }
    QString ImageFile;
    bool Stretch = false;
};

class TPrintFormElementText : public TPrintFormElement
{
public:
    int ElementType() const override { return TextFile; }
    QString TextFileName;
    bool WordWrap = false;
    bool Cv = false;
};

class TPrintFormElementObject : public TPrintFormElement
{
public:
    int ElementType() const override { return Object; }
    int ObjType = 0;
    unsigned Color = 0;
    int LineWidth = 0;
    int Style = 0;
};

class TPrintForm
{
public:
    enum class Orientation { Portrait, Landscape };
    enum class Paper { A4, A5 };

    QString Name, Description, BaseOn;
    quint8 Group = 0;
    unsigned BkColor = 0xFFFFFF;
    Orientation Orient = Orientation::Portrait;
    Paper PaperFormat = Paper::A4;
    bool DefaultPrinterEnabled = false;
    QString DefaultPrinter;
    std::unique_ptr<TPrintFormPrintArea> PrintArea;
    std::vector<std::unique_ptr<TPrintFormElement>> Elements;
};

class TPrintForms : public TDBXMLCoreObject
{
public:
    static QString FileNameIn(const QString &formsDir);

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView) override {}
    void EndElement(const QString &) override {}
    void Clear() override { Forms.clear(); }
    void WriteXML(bool complete, const QString &indent) override;

    // Case-insensitive, as the selection treats names; null when there is none.
    const TPrintForm *Find(const QString &name) const;

    std::vector<std::unique_ptr<TPrintForm>> Forms;
};

// What the form drop-down offers, kept apart from the widget so that the rules are tested
// without a window.
struct TPrintFormChoice {
    QString Name;
    QString Text;
};

// Forms of the allowed groups in file order; groups from 16 up are internal to the suite's
// print program and never offered.
std::vector<TPrintFormChoice> SelectableForms(const TPrintForms &forms,
                                              const QList<int> &allowedGroups);
// Index of the entry named current regardless of case, -1 when there is none.
int PreselectedForm(const std::vector<TPrintFormChoice> &choices, const QString &current);
