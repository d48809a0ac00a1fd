#pragma once

#include "persistence/xml/dbxmlcoreobject.h"

#include <QString>
#include <memory>
#include <vector>

// A layout set names the form and the print-area layouts a list print is built from; the
// suite keeps them per target ("01" for the stock module) in <target>TYPESETS.XML, and a
// firm's own changes in <target>UDTYPESETS.XML beside it.

struct TLayoutsetItem {
    QString Name;   // the print-area layout
    QString Target; // how the caller finds the area, e.g. "$1009000"
};

struct TLayoutset {
    QString Name, Section, HeaderLayout, Description, Formular;
    std::vector<TLayoutsetItem> Head, Main, Foot;
};

class TLayoutsetManager
{
public:
    // Base file, then the firm's overlay; a non-empty section keeps only the sets of that
    // section.
    void Load(const QString &formsDir, const QString &target, const QString &section);
    // Exact name after trimming, as the sets are chosen by name from a list.
    const TLayoutset *Find(const QString &name) const;

    std::vector<TLayoutset> Sets;
};

// One layout-set file as read; the manager merges two of them.
class TLayoutsetFile : public TDBXMLCoreObject
{
public:
    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    void Clear() override;
    void WriteXML(bool, const QString &) override {} // the module never writes layouts

    QString Area;
    bool DisableOriginal = false;
    std::vector<TLayoutset> Sets;

private:
    std::vector<TLayoutsetItem> *m_list = nullptr;
};
