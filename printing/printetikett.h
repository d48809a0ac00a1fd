#pragma once

#include <QSizeF>
#include <QString>
#include <memory>
#include <vector>

// A label design and the sheet layouts it is printed on, as the label designer stores them.
// Every length is an integer in tenths of a millimetre; colours are the suite's 0x00BBGGRR.

enum class EtikettElementKind : int { Variable = 0, Object = 3, Barcode = 5 };

struct TPrintEtikettElement {
    virtual ~TPrintEtikettElement() = default;
    virtual EtikettElementKind Kind() const = 0;
    virtual std::unique_ptr<TPrintEtikettElement> Clone() const = 0;
    QString Name;
    int Left = 0, Top = 0, Width = 0, Height = 0; // relative to the label
};

// A text filled from the article (or the element's own name for variable 1).
struct TPrintEtikettElementVariable : TPrintEtikettElement {
    EtikettElementKind Kind() const override { return EtikettElementKind::Variable; }
    std::unique_ptr<TPrintEtikettElement> Clone() const override
    {
        return std::make_unique<TPrintEtikettElementVariable>(*this);
    }
    QString Var;
    int VarType = 1; // 1 and 2 plain text, 3 formatted text, others are not drawn
    QString Value;
    bool Ortp = false; // formatted text takes the element's alignment and wrapping
    QString FontName = QStringLiteral("Arial");
    unsigned Color = 0;
    bool Bold = false, Italic = false, Underline = false, RightAlign = false;
    int FontSize = 10; // points
    bool WordWrap = false;
};

struct TPrintEtikettElementObject : TPrintEtikettElement {
    EtikettElementKind Kind() const override { return EtikettElementKind::Object; }
    std::unique_ptr<TPrintEtikettElement> Clone() const override
    {
        return std::make_unique<TPrintEtikettElementObject>(*this);
    }
    int ObjType = 1; // 0 rectangle, 1 line
    unsigned Color = 0;
    bool Fill = false;
    unsigned FillColor = 0xFFFFFF;
    int LineWidth = 1;
    int Style = 0; // pen style: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none
};

struct TPrintEtikettElementBarcode : TPrintEtikettElement {
    EtikettElementKind Kind() const override { return EtikettElementKind::Barcode; }
    std::unique_ptr<TPrintEtikettElement> Clone() const override
    {
        return std::make_unique<TPrintEtikettElementBarcode>(*this);
    }
    QString Var;
    QString Value;
    int Barcode = 3;
    bool ShowText = true;
    int ShowTextPos = 5;
};

// One label design with its elements; Left/Top place it on the sheet while it is drawn.
class TPrintEtikett
{
public:
    TPrintEtikett() = default;
    TPrintEtikett(const TPrintEtikett &other);
    TPrintEtikett &operator=(const TPrintEtikett &other);

    QString Name;
    int Width = 0, Height = 0;
    bool WithBorder = false;
    std::vector<std::unique_ptr<TPrintEtikettElement>> Elements;
    int Left = 0, Top = 0;
};

// One label position on a sheet.
struct TPrintEtikettHolder {
    QString Name; // of the label design
    int Left = 0, Top = 0;
    bool Active = true;
    TPrintEtikett *Etikett = nullptr; // resolved on first use, owned by the manager
    bool Resolved = false;
};

// A sheet layout.
struct TPrintEtikettForm {
    QString Name;
    int Type = 0; // 1 user-defined paper size, anything else A4
    bool Portrait = true;
    int Width = 0, Height = 0; // used for type 1 only
    std::vector<TPrintEtikettHolder> Holders;

    // Paper size in millimetres, as the sheet is fed (portrait measures).
    QSizeF PaperMillimetres() const;
};
