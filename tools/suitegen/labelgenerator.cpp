#include "tools/suitegen/labelgenerator.h"

#include "printing/printetikettmanager.h"

#include <QDir>
#include <QRect>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace
{
// Variables of the stock article: number, EAN, description, sale price 1 net and gross, and
// 1 for a fixed text, the element's own name.
const QString kNumber = u"1001000"_s, kEan = u"1001001"_s, kDescription = u"1001002"_s,
              kNet1 = u"1001021"_s, kGross1 = u"1001200"_s, kFixed = u"1"_s;

void text(TPrintEtikett &e, const QString &name, const QString &var, QRect r, int size,
          bool bold = false, bool right = false, bool wrap = false)
{
    auto v = std::make_unique<TPrintEtikettElementVariable>();
    v->Name = name;
    v->Var = var;
    v->Left = r.left();
    v->Top = r.top();
    v->Width = r.width();
    v->Height = r.height();
    v->FontName = u"DejaVu Sans"_s;
    v->FontSize = size;
    v->Bold = bold;
    v->RightAlign = right;
    v->WordWrap = wrap;
    e.Elements.push_back(std::move(v));
}

void barcode(TPrintEtikett &e, const QString &name, const QString &var, int type, QRect r)
{
    auto b = std::make_unique<TPrintEtikettElementBarcode>();
    b->Name = name;
    b->Var = var;
    b->Barcode = type;
    b->Left = r.left();
    b->Top = r.top();
    b->Width = r.width();
    b->Height = r.height();
    e.Elements.push_back(std::move(b));
}

void line(TPrintEtikett &e, QRect r)
{
    auto o = std::make_unique<TPrintEtikettElementObject>();
    o->Name = u"Linie"_s;
    o->ObjType = 1;
    o->Left = r.left();
    o->Top = r.top();
    o->Width = r.width();
    o->Height = r.height();
    e.Elements.push_back(std::move(o));
}

std::unique_ptr<TPrintEtikett> shelfLabel()
{
    auto e = std::make_unique<TPrintEtikett>();
    e->Name = u"Regaletikett 70x37"_s;
    e->Width = 700;
    e->Height = 370;
    text(*e, u"Nummer"_s, kNumber, {30, 20, 400, 50}, 9, true);
    line(*e, {30, 70, 640, 0});
    text(*e, u"Bezeichnung"_s, kDescription, {30, 80, 640, 80}, 7, false, false, true);
    barcode(*e, u"EAN"_s, kEan, 14, {40, 170, 260, 120});
    barcode(*e, u"Artikelnummer"_s, kNumber, 6, {40, 300, 380, 55});
    text(*e, u"Preis"_s, kGross1, {400, 170, 270, 60}, 14, true, true);
    text(*e, u"inkl. MwSt."_s, kFixed, {400, 230, 270, 30}, 6, false, true);
    text(*e, u"netto"_s, kFixed, {430, 270, 90, 30}, 6);
    text(*e, u"Nettopreis"_s, kNet1, {500, 270, 170, 30}, 6, false, true);
    return e;
}

std::unique_ptr<TPrintEtikett> priceLabel()
{
    auto e = std::make_unique<TPrintEtikett>();
    e->Name = u"Preisetikett 57x32"_s;
    e->Width = 570;
    e->Height = 320;
    e->WithBorder = true;
    text(*e, u"Bezeichnung"_s, kDescription, {25, 20, 520, 70}, 7, true, false, true);
    text(*e, u"Nummer"_s, kNumber, {25, 90, 250, 35}, 6);
    text(*e, u"Preis"_s, kGross1, {290, 90, 255, 60}, 13, true, true);
    text(*e, u"Nettopreis"_s, kNet1, {290, 150, 255, 30}, 6, false, true);
    barcode(*e, u"EAN"_s, kEan, 14, {35, 150, 230, 150});
    return e;
}
} // namespace

bool GenerateLabelFile(const QString &formsDir, QString *error)
{
    TPrintEtikettManager labels;
    labels.Etiketten.push_back(shelfLabel());
    labels.Etiketten.push_back(priceLabel());

    auto sheet = std::make_unique<TPrintEtikettForm>();
    sheet->Name = u"A4 3 x 8 Regaletiketten 70 x 37 mm"_s;
    sheet->Type = 0;
    sheet->Width = 2100;
    sheet->Height = 2970;
    // 8 rows of 37 mm leave 1 mm, split above and below.
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 3; ++column)
            sheet->Holders.push_back({u"Regaletikett 70x37"_s, column * 700, 5 + row * 370});
    labels.Forms.push_back(std::move(sheet));

    auto roll = std::make_unique<TPrintEtikettForm>();
    roll->Name = u"Rolle Preisetiketten 57 x 32 mm"_s;
    roll->Type = 1;
    roll->Width = 570;
    roll->Height = 320;
    roll->Holders.push_back({u"Preisetikett 57x32"_s, 0, 0});
    labels.Forms.push_back(std::move(roll));

    try {
        if (!QDir().mkpath(formsDir))
            throw std::runtime_error("mkpath");
        labels.SaveToFile(TPrintEtikettManager::FileNameIn(formsDir));
    } catch (const std::exception &) {
        if (error)
            *error = u"cannot write "_s + TPrintEtikettManager::FileNameIn(formsDir);
        return false;
    }
    return true;
}
