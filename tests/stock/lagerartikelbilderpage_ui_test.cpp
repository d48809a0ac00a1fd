#include "stock/artikelbilder.h"
#include "stock/ui/lagerartikelbilderpage.h"
#include "suite/systemeinstellungen.h"
#include "tests/stock/stocktest.h"

#include <QDir>
#include <QFile>
#include <QImage>

using TestDocuments::fileBytes;

namespace
{
struct PicturePage : ::testing::Test {
    QTemporaryDir root;
    QString images = root.filePath(u"IMAGES"_s) + u'/';
    QString elsewhere = root.filePath(u"Eigene Bilder"_s);
    TSystemEinstellungen settings;
    TLagerArtikelEditContext context{&settings, {}, u"Tester"_s, {}, {}};
    TLagerServerObj article;
    ScriptedInteraction scripted;
    ScopedInteraction scope{&scripted};

    PicturePage()
    {
        settings.ImagesDir = images;
        QDir().mkpath(images);
        QDir().mkpath(elsewhere);
    }

    QString writeImage(const QString &dir, const QString &name, Qt::GlobalColor color)
    {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(color);
        const QString path = QDir(dir).filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
};
} // namespace

TEST_F(PicturePage, CopiesIntoTheImagesDirectoryAsksBeforeOverwritingListsWhatIsThere)
{
    TLagerArtikelBilderPage page(context);
    page.resize(600, 300);
    page.ShowArticle(&article);
    const QString source = writeImage(elsewhere, u"rohr.png"_s, Qt::red);
    const QString old = writeImage(images, u"rohr.png"_s, Qt::blue);
    const QByteArray oldBytes = fileBytes(old);

    // Quoted, as some dialogs hand names with blanks over; No keeps the file already there.
    scripted.files = {u'"' + source + u'"'};
    scripted.answers = {ModalResult::OK, ModalResult::No};
    page.addButton()->click();
    ASSERT_EQ(scripted.messages.size(), 2);
    EXPECT_EQ(scripted.messages[1].text,
              u"Die Datei \"rohr.png\" existiert bereits.\nUeberschreiben?"_s);
    EXPECT_EQ(fileBytes(old), oldBytes);
    ASSERT_EQ(article.Bilder.Count(), 1);
    EXPECT_EQ(article.Bilder.Item(0).Value, u"rohr.png"_s);

    // Yes replaces it; the name is listed once only.
    scripted.files = {source};
    scripted.answers = {ModalResult::OK, ModalResult::Yes};
    page.addButton()->click();
    EXPECT_EQ(fileBytes(old), fileBytes(source));
    EXPECT_EQ(article.Bilder.Count(), 1);
    EXPECT_EQ(page.pictureList()->count(), 1);

    // A picture in the images directory is listed without copying or asking.
    const QString inside = writeImage(images, u"flansch.png"_s, Qt::green);
    scripted.messages.clear();
    scripted.files = {inside};
    page.addButton()->click();
    EXPECT_TRUE(scripted.messages.isEmpty());
    ASSERT_EQ(article.Bilder.Count(), 2);
    EXPECT_EQ(article.Bilder.Item(1).Value, u"flansch.png"_s);
}

TEST_F(PicturePage, MissingFilesAreReported)
{
    article.Bilder.Add(QString(), u"da.png"_s);
    article.Bilder.Add(QString(), u"weg.png"_s);
    writeImage(images, u"da.png"_s, Qt::red);
    TLagerArtikelBilderPage page(context);
    page.ShowArticle(&article);

    page.pictureList()->setCurrentRow(1);
    ASSERT_EQ(scripted.messages.size(), 1);
    EXPECT_EQ(scripted.messages[0].text,
              u"Datei \"%1\" nicht gefunden."_s.arg(QDir(images).filePath(u"weg.png"_s)));

    // A chosen file that does not exist is not listed.
    scripted.files = {root.filePath(u"gibtsnicht.png"_s)};
    page.addButton()->click();
    EXPECT_EQ(scripted.messages.size(), 2);
    EXPECT_EQ(article.Bilder.Count(), 2);

    page.pictureList()->setCurrentRow(1);
    page.removeButton()->click();
    EXPECT_EQ(article.Bilder.Count(), 1);
    EXPECT_TRUE(QFile::exists(QDir(images).filePath(u"da.png"_s)))
        << "removing a picture from the article leaves its file";

    page.Clear();
    EXPECT_EQ(page.pictureList()->count(), 0);
}

TEST(ArticlePictures, QuotesAreStrippedOnlyAroundTheWholeName)
{
    EXPECT_EQ(UnquoteFileName(u"\"C:/Bilder/a b.png\""_s), u"C:/Bilder/a b.png"_s);
    EXPECT_EQ(UnquoteFileName(u"a\"b.png"_s), u"a\"b.png"_s);
    EXPECT_EQ(UnquoteFileName(u"\""_s), u"\""_s);
    EXPECT_EQ(PictureFilePath(u"x.png"_s, u"/img/"_s), u"/img/x.png"_s);
    EXPECT_EQ(PictureFilePath(u"/abs/x.png"_s, u"/img/"_s), u"/abs/x.png"_s);
}
