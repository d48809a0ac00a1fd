#include "base/ui/listeditdialog.h"
#include "tests/support/scriptedinteraction.h"

#include <QListWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Each step works on the entry chosen before it; the inputs answer the input boxes in order.
TEST(ListEditDialog, AddRenameDeleteAndMove)
{
    ScriptedInteraction ui;
    ScopedInteraction scope(&ui);
    const auto run = [&](const QStringList &inputs, int chosen,
                         const std::function<void(TListEditDialog &)> &step) {
        ui.inputs = inputs;
        TListEditDialog d(u"Lagerort"_s, {u"A"_s, u"B"_s, u"C"_s});
        d.findChild<QListWidget *>(u"lbEntries"_s)->setCurrentRow(chosen);
        step(d);
        return d.Entries();
    };
    const auto add = [](TListEditDialog &d) { d.AddEntry(); };
    const auto rename = [](TListEditDialog &d) { d.RenameEntry(); };
    const struct {
        QStringList inputs;
        int chosen;
        std::function<void(TListEditDialog &)> step;
        QStringList expected;
    } cases[] = {
        {{u"  D \n E "_s}, 0, add, {u"A"_s, u"B"_s, u"C"_s, u"D E"_s}}, // one line, trimmed
        {{u"B"_s}, 0, add, {u"A"_s, u"B"_s, u"C"_s}},                   // refused: twice
        {{u"  "_s}, 0, add, {u"A"_s, u"B"_s, u"C"_s}},                  // nothing typed
        {{}, 0, add, {u"A"_s, u"B"_s, u"C"_s}},                         // cancelled
        {{u"X"_s}, 1, rename, {u"A"_s, u"X"_s, u"C"_s}},
        {{u"B"_s}, 1, rename, {u"A"_s, u"B"_s, u"C"_s}}, // its own name is no duplicate
        {{u"C"_s}, 1, rename, {u"A"_s, u"B"_s, u"C"_s}},
        {{}, 2, [](TListEditDialog &d) { d.DeleteEntry(); }, {u"A"_s, u"B"_s}},
        {{}, 0, [](TListEditDialog &d) { d.MoveEntry(-1); }, {u"A"_s, u"B"_s, u"C"_s}},
        {{}, 0, [](TListEditDialog &d) { d.MoveEntry(1); }, {u"B"_s, u"A"_s, u"C"_s}},
        {{}, 2, [](TListEditDialog &d) { d.MoveEntry(-1); }, {u"A"_s, u"C"_s, u"B"_s}},
        {{}, 2, [](TListEditDialog &d) { d.MoveEntry(1); }, {u"A"_s, u"B"_s, u"C"_s}},
    };
    int i = 0;
    for (const auto &c : cases)
        EXPECT_EQ(run(c.inputs, c.chosen, c.step), c.expected) << "case " << i++;
    // The two duplicates were said, nothing else.
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[0].text, u"Der Eintrag \"B\" ist bereits in der Liste."_s);
}
