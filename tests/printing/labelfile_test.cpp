// LABELS_STOCK.XML as the label designer writes it, and what a damaged one becomes.
#include "printing/etikettpainter.h"
#include "printing/printetikettmanager.h"
#include "tests/support/scriptedinteraction.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
// One sheet, one label, every kind of element with values away from the defaults.
void build(TPrintEtikettManager &m)
{
    auto form = std::make_unique<TPrintEtikettForm>();
    form->Name = u"Rolle & Co"_s;
    form->Type = 1;
    form->Portrait = false;
    form->Width = 570;
    form->Height = 320;
    form->Holders.push_back({u"Preis"_s, 10, 20});
    m.Forms.push_back(std::move(form));
    auto label = std::make_unique<TPrintEtikett>();
    label->Name = u"Preis"_s;
    label->Width = 570;
    label->Height = 320;
    label->WithBorder = true;
    auto v = std::make_unique<TPrintEtikettElementVariable>();
    v->Name = u"Text \"1\""_s;
    v->Left = 5;
    v->Top = 6;
    v->Width = 200;
    v->Height = 50;
    v->Var = u"1001047"_s;
    v->VarType = 3;
    v->Ortp = true;
    v->FontName = u"Arial"_s;
    v->Color = 0x0000FF;
    v->Bold = v->Italic = v->Underline = v->RightAlign = v->WordWrap = true;
    v->FontSize = 12;
    label->Elements.push_back(std::move(v));
    auto o = std::make_unique<TPrintEtikettElementObject>();
    o->Name = u"Rahmen"_s;
    o->Width = 570;
    o->Height = 10;
    o->ObjType = 0;
    o->Fill = true;
    o->FillColor = 0xC0C0C0;
    o->LineWidth = 2;
    o->Style = 2;
    label->Elements.push_back(std::move(o));
    auto b = std::make_unique<TPrintEtikettElementBarcode>();
    b->Name = u"EAN"_s;
    b->Top = 100;
    b->Width = 300;
    b->Height = 150;
    b->Var = u"1001001"_s;
    b->Barcode = 14;
    b->ShowText = false;
    b->ShowTextPos = 2;
    label->Elements.push_back(std::move(b));
    m.Etiketten.push_back(std::move(label));
}

QString golden()
{
    QFile f(QStringLiteral(STOCK_TESTS_DIR) + u"/printing/data/labels_stock.xml"_s);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll()).replace(u"\n"_s, u"\r\n"_s);
}
} // namespace

TEST(LabelFileFormat, WritesTheDesignersFormatAndReadsItBack)
{
    TPrintEtikettManager written;
    build(written);
    const QString text = written.GetXMLText(true);
    EXPECT_EQ(text, QChar(QChar::ByteOrderMark) + golden());

    TPrintEtikettManager read;
    ASSERT_TRUE(read.LoadFromXMLText(text));
    EXPECT_EQ(read.GetXMLText(true), text);
    // Designs are found by name whatever the case; holders resolve once.
    TPrintEtikettHolder &holder = read.Forms[0]->Holders[0];
    holder.Name = u"PREIS"_s;
    EXPECT_EQ(read.Resolve(holder), read.Etiketten[0].get());
    holder.Name = u"weg"_s;
    EXPECT_EQ(read.Resolve(holder), read.Etiketten[0].get());
}

TEST(LabelFileFormat, DamagedValuesAreCutToWhatASheetHolds)
{
    TPrintEtikettManager m;
    m.LoadFromXMLText(
        u"<etiketten><etikettref name=\"lost\" left=\"1\" top=\"1\"/>"
        u"<formularlist><formular name=\"F\" type=\"999\" width=\"-5\" height=\"9999999\">"
        u"<etikettref name=\"E\" left=\"-2000000\" top=\"abc\"/></formular></formularlist>"
        u"<etikettlist><etikett name=\"E\" width=\"99999999\" height=\"10\">"
        u"<etikettvar name=\"v\" fsize=\"0\" vartype=\"300\" color=\"-1\"/>"
        u"<etikettobj name=\"o\" linewidth=\"100000\"/><unknown/>"
        u"</etikett></etikettlist></etiketten>"_s);
    ASSERT_EQ(m.Forms.size(), 1u);
    const TPrintEtikettForm &f = *m.Forms[0];
    EXPECT_EQ(f.Type, 255);
    EXPECT_EQ(f.Width, 0);
    EXPECT_EQ(f.Height, 100000);
    ASSERT_EQ(f.Holders.size(), 1u);
    EXPECT_EQ(f.Holders[0].Left, -100000);
    EXPECT_EQ(f.Holders[0].Top, 0);
    const TPrintEtikett &e = *m.Etiketten[0];
    EXPECT_EQ(e.Width, 100000);
    ASSERT_EQ(e.Elements.size(), 2u);
    const auto &v = static_cast<const TPrintEtikettElementVariable &>(*e.Elements[0]);
    EXPECT_EQ(v.FontSize, 1);
    EXPECT_EQ(v.VarType, 255);
    EXPECT_EQ(v.Color, 0xFFFFFFu);
    EXPECT_EQ(static_cast<const TPrintEtikettElementObject &>(*e.Elements[1]).LineWidth, 1000);
}

TEST(LabelFileFormat, AMissingFileLeavesNoLayoutsAndSaysNothing)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    QTemporaryDir dir;
    TPrintEtikettManager m;
    build(m);
    m.LoadFromFile(TPrintEtikettManager::FileNameIn(dir.path()));
    EXPECT_TRUE(m.Forms.empty());
    EXPECT_TRUE(m.Etiketten.empty());
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST(LabelDrawing, BorderFillAndElementsLandInTheirPixels)
{
    for (const bool border : {true, false}) {
        TPrintEtikettManager m;
        build(m);
        TPrintEtikett &e = *m.Etiketten[0];
        e.WithBorder = border;
        e.Left = 100; // 10 mm on the sheet: 100 pixels at 254 dpi
        e.Top = 50;
        static_cast<TPrintEtikettElementBarcode &>(*e.Elements[2]).Value = u"4006381333931"_s;
        QImage image(800, 500, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QStringList errors;
        {
            QPainter p(&image);
            TEtikettPainter(p, 254).Draw(e, errors);
        }
        EXPECT_TRUE(errors.isEmpty());
        EXPECT_EQ(image.pixelColor(90, 40), QColor(Qt::blue)); // outside stays untouched
        EXPECT_EQ(image.pixelColor(100, 360), border ? QColor(Qt::black) : QColor(Qt::lightGray));
        EXPECT_EQ(image.pixelColor(300, 330), QColor(Qt::white));
        EXPECT_EQ(image.pixelColor(300, 55), QColor(0xC0, 0xC0, 0xC0)); // the filled rectangle
        // EAN-13 starts with its guard bar at the element's left, one 2-pixel module wide.
        EXPECT_EQ(image.pixelColor(101, 250), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(102, 250), QColor(Qt::white));
    }
}

TEST(LabelDrawing, FormattedTextTakesTheElementsAlignmentOnlyWithOrtp)
{
    struct Case {
        bool ortp;
        bool inkLeft, inkRight;
    };
    for (const Case c : {Case{false, true, false}, Case{true, false, true}}) {
        TPrintEtikettManager m;
        build(m);
        TPrintEtikett &e = *m.Etiketten[0];
        auto &v = static_cast<TPrintEtikettElementVariable &>(*e.Elements[0]);
        v.Ortp = c.ortp; // the element itself is right-aligned
        v.FontName = u"DejaVu Sans"_s;
        v.Value = u"<p align=\"left\">WW</p>"_s;
        QImage image(600, 400, QImage::Format_RGB32);
        image.fill(Qt::white);
        QStringList errors;
        {
            QPainter p(&image);
            TEtikettPainter(p, 254).Draw(e, errors);
        }
        // The element spans x 5..205; ink in its outer fifths tells the alignment.
        auto ink = [&](int from, int to) {
            for (int x = from; x < to; ++x)
                for (int y = 14; y < 56; ++y)
                    if (image.pixelColor(x, y) != QColor(Qt::white))
                        return true;
            return false;
        };
        EXPECT_EQ(ink(6, 45), c.inkLeft) << c.ortp;
        EXPECT_EQ(ink(165, 204), c.inkRight) << c.ortp;
    }
}
