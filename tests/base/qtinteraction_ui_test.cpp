#include "base/ui/qtinteraction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(QtInteraction, MessageBoxButtonsAndResults)
{
    QtInteraction ui;
    QStringList offered;
    auto clickLater = [&](const QString &caption) {
        QTimer::singleShot(0, [caption, &offered] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            offered.clear();
            QAbstractButton *target = nullptr;
            for (QAbstractButton *b : box->buttons()) {
                offered.append(b->text());
                if (b->text() == caption)
                    target = b;
            }
            ASSERT_TRUE(target);
            target->click();
        });
    };

    clickLater(u"&Nein"_s);
    EXPECT_EQ(ui.messageBox(u"Bestaetigung"_s, u"Loeschen?"_s, MsgDlgType::Confirmation,
                            MsgButton::Yes | MsgButton::No),
              ModalResult::No);
    EXPECT_EQ(offered.size(), 2);
    EXPECT_TRUE(offered.contains(u"&Ja"_s));

    clickLater(u"A&lle Ja"_s);
    EXPECT_EQ(ui.messageBox(u"Frage"_s, u"x"_s, MsgDlgType::Confirmation,
                            MsgButton::Yes | MsgButton::No | MsgButton::YesToAll),
              ModalResult::YesToAll);

    // Abort and Cancel share a caption but keep their own results
    clickLater(u"&Abbrechen"_s);
    EXPECT_EQ(ui.messageBox(u"Fehler"_s, u"x"_s, MsgDlgType::Error, MsgButton::Abort),
              ModalResult::Abort);

    // no button asked for still gives the user a way out
    clickLater(u"&OK"_s);
    EXPECT_EQ(ui.messageBox(u"Information"_s, u"x"_s, MsgDlgType::Information, 0), ModalResult::OK);
}

TEST(QtInteraction, ProgressCancel)
{
    QtInteraction ui;
    auto progress = ui.progress(u"Loeschen"_s, 3);
    progress->step();
    EXPECT_FALSE(progress->cancelled());
    auto *dialog = QApplication::activeModalWidget();
    ASSERT_TRUE(dialog);
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
        b->click();
    EXPECT_TRUE(progress->cancelled());
}
