#pragma once

#include <QString>

class TKatalog1Artikel;

// The article information page of a DATANORM article: the HTML that the information window
// shows and prints.
class TKatalog1ArtikelHelper
{
public:
    // catalogDir with trailing separator; pictures come from its IMAGES sub-directory.
    static QString Html(const TKatalog1Artikel &article, const QString &catalogDir);
};
