#include "stock/artikelbilder.h"

#include "base/messages.h"
#include "base/translation.h"
#include "stock/lagerserverobj.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace
{
bool sameDirectory(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    const QString ca = fa.canonicalFilePath(), cb = fb.canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

// Copies the file into the images directory unless the user keeps the one there. false when
// the copy failed (the user has been told).
bool copyIntoImages(const QString &source, const QString &imagesDir, const QString &target)
{
    ShowMessageBoxFmt(tx("Die Datei %s wird in das Verzeichnis %s kopiert."),
                      {QDir::toNativeSeparators(source), QDir::toNativeSeparators(imagesDir)},
                      MsgDlgType::Information, MsgButton::OK);
    if (QFile::exists(target)) {
        const QString question =
            formatText(tx("Die Datei \"%s\" existiert bereits."), {QFileInfo(target).fileName()}) +
            u'\n' + tx("Ueberschreiben?");
        if (ShowMessageBox(question, MsgDlgType::Confirmation, MsgButton::YesNo) !=
            ModalResult::Yes)
            return true;
        QFile::remove(target);
    }
    if (QDir().mkpath(imagesDir) && QFile::copy(source, target))
        return true;
    ShowMessageBoxFmt(tx("Die Datei \"%s\" konnte nicht nach \"%s\" kopiert werden."),
                      {QDir::toNativeSeparators(source), QDir::toNativeSeparators(imagesDir)},
                      MsgDlgType::Error, MsgButton::OK);
    return false;
}
} // namespace

QString UnquoteFileName(const QString &name)
{
    const QString t = name.trimmed();
    if (t.size() >= 2 && t.startsWith(u'"') && t.endsWith(u'"'))
        return t.mid(1, t.size() - 2);
    return t;
}

qsizetype AddArticlePicture(TLagerDoubleStringList &pictures, const QString &chosenFile,
                            const QString &imagesDir)
{
    const QString source = UnquoteFileName(chosenFile);
    const QFileInfo info(source);
    if (source.isEmpty() || !info.isFile()) {
        ShowMessageBoxFmt(tx("Datei \"%s\" nicht gefunden."), {source}, MsgDlgType::Error,
                          MsgButton::OK);
        return -1;
    }
    QString value = info.absoluteFilePath();
    if (!imagesDir.isEmpty()) {
        value = info.fileName();
        if (!sameDirectory(info.absolutePath(), imagesDir) &&
            !copyIntoImages(info.absoluteFilePath(), imagesDir, QDir(imagesDir).filePath(value)))
            return -1;
    }
    for (qsizetype i = 0; i < pictures.Count(); ++i)
        if (pictures.Item(i).Value == value)
            return i;
    return pictures.Add(QString(), value);
}

QString PictureFilePath(const QString &value, const QString &imagesDir)
{
    if (imagesDir.isEmpty() || QFileInfo(value).isAbsolute())
        return value;
    return QDir(imagesDir).filePath(value);
}
