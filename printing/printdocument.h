#pragma once

#include "persistence/xml/dbxmlcoreobject.h"
#include "printing/printarealayout.h"

#include <QString>
#include <utility>
#include <vector>

// A print document as MOD00003 reads it back: the page set-up and the sequence of areas,
// header switches and separator lines in the order the list print wrote them.
class TPrintDocument : public TDBXMLCoreObject
{
public:
    struct Row {
        TPrintAreaRowLayout Layout; // the attributes the document carries; the rest default
        QString Text, ContentType, ContentId, PreParam;
        bool StretchImage = true;
    };
    struct Column {
        int Width = 0, MarginLeft = 0, MarginRight = 0;
        std::vector<Row> Rows;
    };
    struct Item {
        enum Kind { Area, Header, Line } kind = Area;
        bool headerOn = false;
        int marginTop = 0, marginBottom = 0;
        bool newPage = false;
        std::vector<Column> columns;
    };

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView text) override;
    void EndElement(const QString &name) override;
    void Clear() override;
    void WriteXML(bool, const QString &) override {} // written by TPrintAreaLayoutsCore

    // Empty when the document can be printed; otherwise the reason, in German.
    QString Problem() const;

    QString DocType, Title, PdfFileName, PdfDirectory;
    int UsedFormFile = 0;
    QString Form1, Form2;
    std::vector<TPrintColumnLayoutItem> HeaderColumns;
    std::vector<std::pair<QString, QString>> PageParameters;
    int FirstPageNumber = 1;
    std::vector<Item> Items;

private:
    bool m_sawRoot = false, m_sawEnd = false;
    QString m_unknown;
    int m_depth = 0;
};
