// FORMULAR.XML and the form drop-down's choices, and the drop-down itself on the offscreen
// platform: only a double-click or Enter changes the name; layout sets with the firm's overlay.
#include "printing/layoutsetmanager.h"
#include "printing/printforms.h"
#include "printing/ui/printformselect.h"
#include "tests/support/documents.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
QByteArray asFile(const QByteArray &utf8Body)
{
    return TestDocuments::utf16File(
        TestDocuments::withDeclaration(QString::fromUtf8(utf8Body)).mid(1));
}
} // namespace

TEST(PrintForms, FileReadAndWrittenBackEqual)
{
    const QByteArray golden = asFile(TestDocuments::golden("printing", "FORMULAR.XML"));
    TPrintForms forms;
    TestDocuments::read(forms, golden);
    ASSERT_FALSE(forms.HasError()) << forms.ErrorText().toStdString();
    // Whatever the reader drops or invents (a print area for the form without one) shows here.
    EXPECT_EQ(TestDocuments::asText(TestDocuments::written(forms)), TestDocuments::asText(golden));
}

TEST(PrintForms, ReadingDefaults)
{
    TPrintForms forms;
    TestDocuments::read(forms, asFile(R"(<forms>
<form name="a" orientation="LANDSCAPE" paperformat="a5" group="300"><element type="0" /><element type="7" /></form>
<form name="b" orientation="landscape" paperformat="A5" />
</forms>)"));
    // Only the exact words switch orientation and paper; an out-of-range group is cut, not
    // wrapped into an allowed one; unknown element types are dropped.
    TestDocuments::expectGoldenText("printing", "forms_defaults.xml",
                                    TestDocuments::fromUtf16(TestDocuments::written(forms)).mid(1));
}

TEST(PrintForms, SelectionOffersAllowedGroupsAndPreselectsIgnoringCase)
{
    TPrintForms forms;
    TestDocuments::read(forms, asFile(TestDocuments::golden("printing", "FORMULAR.XML")));
    const auto choices = SelectableForms(forms, {0, 9, 16});
    ASSERT_EQ(choices.size(), 2u); // group 16 never, whatever is allowed
    EXPECT_EQ(choices[0].Text, u"Liste Hoch - Lagerliste & \"Bewertung\" (Hochformat, A4)"_s);
    EXPECT_EQ(choices[1].Text, u"Liste Quer (Querformat, A5)"_s);
    EXPECT_EQ(PreselectedForm(choices, u"LISTE QUER"_s), 1);
    EXPECT_EQ(PreselectedForm(choices, u"Liste"_s), -1);
    EXPECT_EQ(SelectableForms(forms, {9}).size(), 1u);

    TPrintForms none;
    none.LoadFromFile(u"/nirgends/FORMULAR.XML"_s);
    EXPECT_TRUE(SelectableForms(none, {0, 9}).empty());
}

TEST(LayoutSets, OverlayAndSectionFilter)
{
    const QByteArray base = R"(<layoutsets area="x">
<layoutset name="A" section="002" /><layoutset name="B" section="002" formular="alt" />
<layoutset name="C" /></layoutsets>)";
    const struct {
        const char *overlay; // null: no overlay file
        const char *section;
        QStringList expected;
        const char *formOfB;
    } cases[] = {
        {nullptr, "", {u"A"_s, u"B"_s, u"C"_s}, "alt"},
        {nullptr, "002", {u"A"_s, u"B"_s}, "alt"},
        {R"(<layoutsets disableoriginaltypesets="1"><layoutset name="X" /></layoutsets>)",
         "",
         {u"X"_s},
         nullptr},
        {R"(<layoutsets><layoutset name="B" section="002" formular="neu" /><layoutset name="N" section="002" /></layoutsets>)",
         "002",
         {u"N"_s, u"A"_s, u"B"_s},
         "neu"},
        // A replacing set takes its own section along.
        {R"(<layoutsets><layoutset name="B" /></layoutsets>)", "002", {u"A"_s}, nullptr},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        TestDocuments::writeFile(dir.filePath(u"01TYPESETS.XML"_s), asFile(base));
        if (c.overlay)
            TestDocuments::writeFile(dir.filePath(u"01UDTYPESETS.XML"_s), asFile(c.overlay));
        TLayoutsetManager m;
        m.Load(dir.path(), u"01"_s, QString::fromLatin1(c.section));
        QStringList names;
        for (const TLayoutset &s : m.Sets)
            names << s.Name;
        EXPECT_EQ(names, c.expected) << (c.overlay ? c.overlay : "(none)") << c.section;
        const TLayoutset *b = m.Find(u" B "_s);
        EXPECT_EQ(b ? b->Formular.toStdString() : std::string("-"), c.formOfB ? c.formOfB : "-");
    }
}

TEST(PrintFormSelect, DoubleClickOrEnterChoosesClosingKeepsTheName)
{
    TPrintForms forms;
    TestDocuments::read(forms, asFile(TestDocuments::golden("printing", "FORMULAR.XML")));
    {
        TPrintFormSelect popup(forms, {0, 9}, u"liste quer"_s);
        popup.show();
        ASSERT_EQ(popup.List()->count(), 2);
        EXPECT_EQ(popup.List()->currentRow(), 1);
        popup.close();
        EXPECT_EQ(popup.Chosen(), u"liste quer"_s); // unchanged, even in its letter case
    }
    TPrintFormSelect popup(forms, {0, 9}, u"Liste Quer"_s);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    QListWidget *list = popup.List();
    const QRect first = list->visualItemRect(list->item(0));
    // A single click only moves the selection; the view wants the click before the double one.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(popup.Chosen(), u"Liste Quer"_s);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(popup.Chosen(), u"Liste Hoch"_s);
    EXPECT_FALSE(popup.isVisible());

    TPrintFormSelect keyboard(forms, {0, 9}, u"Liste Hoch"_s);
    keyboard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&keyboard));
    QTest::keyClick(keyboard.List(), Qt::Key_Down);
    QTest::keyClick(keyboard.List(), Qt::Key_Return);
    EXPECT_EQ(keyboard.Chosen(), u"Liste Quer"_s);
    EXPECT_FALSE(keyboard.isVisible());
}
