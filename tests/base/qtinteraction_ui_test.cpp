#include "base/translation.h"
#include "base/ui/qtinteraction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(QtInteraction, MessageBoxButtonsAndResultsAndProgressCancel)
{
    QtInteraction ui;
    // The German caption must be offered: the click fails the test otherwise.
    auto clickLater = [&](const QString &caption) {
        QTimer::singleShot(0, [caption] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            for (QAbstractButton *b : box->buttons())
                if (b->text() == caption)
                    return b->click();
            ADD_FAILURE() << "no button " << caption.toStdString();
            box->reject();
        });
    };

    clickLater(u"&Nein"_s);
    EXPECT_EQ(ui.messageBox(u"Bestaetigung"_s, u"Loeschen?"_s, MsgDlgType::Confirmation,
                            MsgButton::Yes | MsgButton::No),
              ModalResult::No);

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

    auto progress = ui.progress(u"Loeschen"_s, 3);
    progress->step();
    EXPECT_FALSE(progress->cancelled());
    auto *dialog = QApplication::activeModalWidget();
    ASSERT_TRUE(dialog);
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
        b->click();
    EXPECT_TRUE(progress->cancelled());
}

TEST(QtInteraction, AlertAppearsAtTheWindowItBelongsTo)
{
    // Pure placement: the owner's bottom right corner, pulled back onto the screen.
    // A window in the middle, one beyond the right and bottom edges, and none (the screen's).
    const QRect screen(0, 0, 1280, 800);
    for (const auto &[owner, expected] : {std::pair{QRect(100, 100, 800, 600), QPoint(588, 588)},
                                          {QRect(900, 500, 800, 600), QPoint(980, 700)},
                                          {QRect(), QPoint(980, 700)}})
        EXPECT_EQ(alertPosition(owner, QSize(300, 100), screen), expected) << owner.x();
}

TEST(QtInteraction, QtsOwnDialogsSpeakGerman)
{
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(QDir(translations).filePath(u"qtbase_de.qm"_s)))
        GTEST_SKIP() << "Qt's German translations (qt6-translations-l10n) are not installed";
    Translation::setup(QString(), u"de_DE"_s);
    auto buttonTexts = [](QWidget &dialog) {
        QStringList texts;
        for (const QAbstractButton *b : dialog.findChildren<QAbstractButton *>())
            texts.append(b->text().remove(u'&'));
        return texts;
    };
    QInputDialog input;
    input.show(); // builds the buttons
    QFileDialog file;
    file.setOption(QFileDialog::DontUseNativeDialog);
    for (QWidget *dialog : {static_cast<QWidget *>(&input), static_cast<QWidget *>(&file)}) {
        const QStringList texts = buttonTexts(*dialog);
        EXPECT_TRUE(texts.contains(u"Abbrechen"_s) && !texts.contains(u"Cancel"_s))
            << texts.join(u", "_s).toStdString();
    }
    Translation::setup(QString(), QString());
    QInputDialog english;
    english.show();
    EXPECT_TRUE(buttonTexts(english).contains(u"Cancel"_s)); // the tests after see Qt's own
}
