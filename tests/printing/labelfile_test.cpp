// LABELS_STOCK.XML as the label designer writes it, and what a damaged one becomes.
#include "printing/etikettpainter.h"
#include "printing/printetikettmanager.h"
#include "tests/support/documents.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
// One sheet, one label, every kind of element with values away from the defaults.
QString golden()
{
    return QString::fromUtf8(TestDocuments::golden("printing", "labels_stock.xml"))
        .replace(u"\n"_s, u"\r\n"_s);
}

void load(TPrintEtikettManager &m)
{
    ASSERT_TRUE(m.LoadFromXMLText(golden()));
}

// The label drawn at 254 dpi onto an image of the colour.
QImage drawn(const TPrintEtikett &e, QSize size, QColor background)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    QStringList errors;
    {
        QPainter p(&image);
        TEtikettPainter(p, 254).Draw(e, errors);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    return image;
}
} // namespace

TEST(LabelFileFormat, WritesTheDesignersFormatAndReadsItBack)
{
    // Every value in the file is away from its default: one the reader drops or the writer
    // leaves out shows in the comparison.
    TPrintEtikettManager read;
    load(read);
    EXPECT_EQ(read.GetXMLText(true), QChar(QChar::ByteOrderMark) + golden());
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
    load(m); // a load replaces what was there
    m.LoadFromXMLText(
        u"<etiketten><etikettref name=\"lost\" left=\"1\" top=\"1\"/>"
        u"<formularlist><formular name=\"F\" type=\"999\" width=\"-5\" height=\"9999999\">"
        u"<etikettref name=\"E\" left=\"-2000000\" top=\"abc\"/></formular></formularlist>"
        u"<etikettlist><etikett name=\"E\" width=\"99999999\" height=\"10\">"
        u"<etikettvar name=\"v\" fsize=\"0\" vartype=\"300\" color=\"-1\"/>"
        u"<etikettobj name=\"o\" linewidth=\"100000\"/><unknown/>"
        u"</etikett></etikettlist></etiketten>"_s);
    ASSERT_EQ(m.Forms.size(), 1u);
    ASSERT_EQ(m.Etiketten.size(), 1u);
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

TEST(LabelDrawing, BorderFillAndElementsLandInTheirPixels)
{
    for (const bool border : {true, false}) {
        TPrintEtikettManager m;
        load(m);
        TPrintEtikett &e = *m.Etiketten[0];
        e.WithBorder = border;
        e.Left = 100; // 10 mm on the sheet: 100 pixels at 254 dpi
        e.Top = 50;
        static_cast<TPrintEtikettElementBarcode &>(*e.Elements[2]).Value = u"4006381333931"_s;
        const QImage image = drawn(e, {800, 500}, Qt::blue);
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
        load(m);
        TPrintEtikett &e = *m.Etiketten[0];
        auto &v = static_cast<TPrintEtikettElementVariable &>(*e.Elements[0]);
        v.Ortp = c.ortp; // the element itself is right-aligned
        v.FontName = u"DejaVu Sans"_s;
        v.Value = u"<p align=\"left\">WW</p>"_s;
        const QImage image = drawn(e, {600, 400}, Qt::white);
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
