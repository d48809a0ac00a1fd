#include "catalogs/datanorm/datanormimportcommand.h"

#include "base/messages.h"
#include "base/translation.h"
#include "catalogs/ukatkatalogtypehelper.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

DatanormImportCommand::DatanormImportCommand(QString catalogBaseDir, AskRequest ask)
    : m_base(std::move(catalogBaseDir)), m_ask(std::move(ask))
{
    if (!m_base.isEmpty() && !m_base.endsWith(u'/'))
        m_base += u'/';
}

QString DatanormImportCommand::CatalogDirectoryName(const QString &name)
{
    // The name becomes a directory beside the other catalogs and nothing else.
    static const QRegularExpression valid(u"^[A-Z0-9_\\-]{1,40}$"_s);
    const QString upper = name.trimmed().toUpper();
    return valid.match(upper).hasMatch() && upper != u"LAGER"_s ? upper : QString();
}

QString DatanormImportCommand::check(const Request &request) const
{
    if (DatanormImport::DeliveryFiles(request.deliveryDir).isEmpty()) {
        ShowMessageBoxFmt(tx("Im Verzeichnis \"%s\" liegt keine Datei DATANORM.001."),
                          {request.deliveryDir}, MsgDlgType::Error, MsgButton::OK);
        return {};
    }
    const QString name = CatalogDirectoryName(request.catalogName);
    if (name.isEmpty()) {
        ShowMessageBoxFmt(tx("Ungueltiger Katalogname \"%s\"."), {request.catalogName.trimmed()},
                          MsgDlgType::Error, MsgButton::OK);
        return {};
    }
    const QString dir = m_base + name + u'/';
    if (!QFileInfo::exists(dir) || QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot))
        return dir;
    if (HoldsAnotherCatalog(dir)) {
        ShowMessageBoxFmt(tx("Der Katalog \"%s\" ist kein DATANORM-Katalog."), {name},
                          MsgDlgType::Error, MsgButton::OK);
        return {};
    }
    if (ShowMessageBoxFmt(tx("Der Katalog \"%s\" existiert bereits. Mit der Lieferung "
                             "aktualisieren?"),
                          {name}, MsgDlgType::Confirmation, MsgButton::YesNo) != ModalResult::Yes)
        return {};
    return dir;
}

bool DatanormImportCommand::HoldsAnotherCatalog(const QString &dir)
{
    // DATANORM tables written beside another kind's would leave two catalogs in one directory.
    const QDir d(dir);
    return d.exists() && !d.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot) &&
           TUKATKatalogTypeHelper::KindOfDirectory(dir) != kkDatanorm;
}

DatanormImport::Result DatanormImportCommand::Run()
{
    Request request;
    QString dir;
    while (dir.isEmpty()) {
        if (!m_ask || !m_ask(request))
            return {};
        dir = check(request);
    }
    DatanormImport::Result r =
        DatanormImport::Import(request.deliveryDir, dir, request.supplier.trimmed());
    if (r.ok)
        ShowMessageBoxFmt(tx("%d Artikel geschrieben, %d geloescht."),
                          {QString::number(r.written), QString::number(r.deleted)},
                          MsgDlgType::Information, MsgButton::OK);
    else if (!r.cancelled)
        ShowMessageBox(r.error, MsgDlgType::Error, MsgButton::OK);
    return r;
}
