#pragma once

#include <QString>

class TLagerDoubleStringList;

// The pictures of an article are files in the suite's images directory; the list holds their
// names (empty key, file name as value).

// The file as the picture dialog may hand it over, without surrounding double quotes.
QString UnquoteFileName(const QString &name);

// Takes the chosen file into the images directory (telling the user, asking before an existing
// file is overwritten) and lists it unless it is listed already. Returns the index of its
// entry, -1 when the file does not exist or could not be copied. Without an images directory
// the file stays where it is and is listed with its full path.
qsizetype AddArticlePicture(TLagerDoubleStringList &pictures, const QString &chosenFile,
                            const QString &imagesDir);

// The file of a listed picture: names without a directory lie in the images directory.
QString PictureFilePath(const QString &value, const QString &imagesDir);
