// The form drop-down on the offscreen platform: what it lists, what it preselects, and that
// only a double-click changes the name.
#include "printing/printforms.h"
#include "printing/ui/printformselect.h"
#include "tests/support/documents.h"

#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace
{
void readGoldenForms(TPrintForms &forms)
{
    const QString body = QString::fromUtf8(TestDocuments::golden("printing", "FORMULAR.XML"));
    TestDocuments::read(forms,
                        TestDocuments::utf16File(TestDocuments::withDeclaration(body).mid(1)));
}
} // namespace

TEST(PrintFormSelect, DoubleClickOrEnterChoosesClosingKeepsTheName)
{
    TPrintForms forms;
    readGoldenForms(forms);
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
