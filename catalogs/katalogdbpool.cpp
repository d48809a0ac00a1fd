#include "catalogs/katalogdbpool.h"

#include "base/inifile.h"
#include "catalogs/katalog1db.h"
#include "catalogs/katalog2db.h"
#include "stock/modlagerdbserverobj.h"

#include <QDir>
#include <QFileInfo>

namespace
{

QString withSeparator(const QString &dir)
{
    return dir.isEmpty() || dir.endsWith(u'/') ? dir : dir + u'/';
}

// Names are compared as Windows compares file names; the suite's catalogs may have been
// created under any spelling.
QString existingSubDir(const QString &base, const QString &name)
{
    if (base.isEmpty())
        return {};
    const QStringList dirs = QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &d : dirs)
        if (d.compare(name, Qt::CaseInsensitive) == 0)
            return base + d;
    return {};
}

bool isStockName(const QString &name)
{
    return name.compare(QStringLiteral("LAGER"), Qt::CaseInsensitive) == 0;
}

} // namespace

TKatalogDBPoolItem::TKatalogDBPoolItem(const QString &directory,
                                       TDatabaseWrapper::ErrorCallback onError, const QString &name)
    : CatalogName(name), Directory(withSeparator(directory)), m_onError(std::move(onError))
{
    if (isStockName(name)) {
        Kind = kkStock;
        return;
    }
    const QString iniFile = Directory + QStringLiteral("SUPPLIER.INI");
    if (!QFileInfo::exists(iniFile)) {
        // Without a description only the tables tell what the directory is. Opening a
        // directory that holds none as a simple catalog would create one in it; a stock
        // database under a catalog's name is no catalog either.
        const quint8 kind = TUKATKatalogTypeHelper::KindOfDirectory(Directory);
        Kind = kind == kkSimple || kind == kkDatanorm || kind == kkEldanorm ? kind : quint8(kkNone);
        return;
    }
    const IniFile ini(iniFile);
    SupplierID =
        SupplierIdWithoutSub(ini.readString(QStringLiteral("Supplier"), QStringLiteral("ID")));
    SupplierSubID = ini.readString(QStringLiteral("Supplier"), QStringLiteral("SUBID"));
    SupplierInfo = ini.readString(QStringLiteral("Supplier"), QStringLiteral("INFO"));
    // Anything but the two known catalog kinds opens as a simple catalog.
    const int type = ini.readInteger(QStringLiteral("Catalog"), QStringLiteral("Type"), 0);
    Kind = type == 1 ? kkDatanorm : type == 2 ? kkEldanorm : kkSimple;
}

TKatalogDBPoolItem::~TKatalogDBPoolItem()
{
    if (m_db)
        m_db->Close();
}

TDatabaseWrapper *TKatalogDBPoolItem::GetDB()
{
    if (m_db)
        return m_db.get();
    std::unique_ptr<TDatabaseWrapper> db;
    switch (Kind) {
    case kkStock:
        db = std::make_unique<IModLagerDBServerObj>(m_onError);
        break;
    case kkSimple:
        db = std::make_unique<TKatalog2DB>(m_onError);
        break;
    case kkDatanorm:
        db = std::make_unique<TKatalog1DB>(m_onError);
        break;
    default:
        throw EngineError(QStringLiteral("Unbekannter Katalogtyp: TKatalogDBPoolItem.GetDB"));
    }
    db->Open(Directory);
    m_db = std::move(db);
    return m_db.get();
}

TKatalogDBPool::TKatalogDBPool(const QString &catalogBaseDir, const QString &stockDir,
                               TDatabaseWrapper::ErrorCallback onError)
    : CatalogBaseDir(withSeparator(catalogBaseDir)), StockDir(withSeparator(stockDir)),
      m_onError(std::move(onError))
{
    m_items.push_back(
        std::make_unique<TKatalogDBPoolItem>(StockDir, m_onError, QStringLiteral("LAGER")));
    if (CatalogBaseDir.isEmpty())
        return;
    const QStringList dirs =
        QDir(CatalogBaseDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : dirs)
        if (!name.startsWith(u'.'))
            m_items.push_back(
                std::make_unique<TKatalogDBPoolItem>(CatalogBaseDir + name, m_onError, name));
}

TKatalogDBPool::~TKatalogDBPool()
{
    // Databases close in reverse order of creation, the stock last.
    while (!m_items.empty())
        m_items.pop_back();
}

TKatalogDBPoolItem *TKatalogDBPool::find(const QString &name) const
{
    for (const auto &item : m_items)
        if (item->CatalogName.compare(name, Qt::CaseInsensitive) == 0)
            return item.get();
    return nullptr;
}

TKatalogDBPoolItem *TKatalogDBPool::GetItem(const QString &rawName, bool addIfMissing)
{
    const QString name = rawName.trimmed();
    if (name.isEmpty())
        return nullptr;
    if (TKatalogDBPoolItem *item = find(name))
        return item;
    if (!addIfMissing)
        return nullptr;
    const QString dir = isStockName(name) ? StockDir : existingSubDir(CatalogBaseDir, name);
    if (dir.isEmpty() || !QDir(dir).exists())
        return nullptr;
    m_items.push_back(std::make_unique<TKatalogDBPoolItem>(dir, m_onError, name));
    return m_items.back().get();
}

TDatabaseWrapper *TKatalogDBPool::GetDB(const QString &name, bool addIfMissing)
{
    TKatalogDBPoolItem *item = GetItem(name, addIfMissing);
    return item ? item->GetDB() : nullptr;
}

QString TKatalogDBPool::CatalogNameOfSupplier(const QString &supplierId) const
{
    const QString id = SupplierIdWithoutSub(supplierId);
    for (const auto &item : m_items)
        if (item->Kind != kkStock && item->SupplierID == id)
            return item->CatalogName;
    return {};
}
