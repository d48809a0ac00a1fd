#pragma once

#include "persistence/xml/dbxmlcoreobject.h"
#include "printing/printetikett.h"

// The label file of the stock module, LABELS_STOCK.XML in the forms directory: the sheet
// layouts and the label designs, written by the suite's label designer.
class TPrintEtikettManager : public TDBXMLCoreObject
{
public:
    TPrintEtikettManager() = default;

    static QString FileNameIn(const QString &formsDir);

    void StartElement(const QString &name, const TXMLAttributes &attributes) override;
    void Characters(QStringView) override {}
    void EndElement(const QString &name) override;
    void Clear() override;
    void WriteXML(bool complete, const QString &indent) override;

    // Case-insensitive, as the designer treats names; null when there is none.
    TPrintEtikett *FindEtikett(const QString &name) const;
    // The holder's design, looked up once.
    TPrintEtikett *Resolve(TPrintEtikettHolder &holder) const;
    TPrintEtikettForm *FindForm(const QString &name) const;

    std::vector<std::unique_ptr<TPrintEtikettForm>> Forms;
    std::vector<std::unique_ptr<TPrintEtikett>> Etiketten;

private:
    enum class Open { None, Form, Etikett };
    Open m_open = Open::None;
};
