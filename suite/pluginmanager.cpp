#include "suite/pluginmanager.h"

#include "base/inifile.h"
#include "base/messages.h"
#include "base/regularfile.h"
#include "base/translation.h"
#include "suite/calculationplugin.h"
#include "suite/systemeinstellungen.h"

#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <stdexcept>

namespace
{
std::unique_ptr<TPluginManager> g_manager;
}

TPluginManager::TPluginManager() = default;

TPluginManager::~TPluginManager()
{
    m_calculation = nullptr;
    if (m_host)
        m_host->unload();
}

void TPluginManager::LoadCalculation(const QString &fileName)
{
    auto host = std::make_unique<QPluginLoader>(fileName);
    if (!host->load())
        throw std::runtime_error(host->errorString().toStdString());
    auto *calculation = qobject_cast<ICalculationPlugin *>(host->instance());
    if (!calculation) {
        host->unload();
        throw std::runtime_error("the plug-in offers no calculation");
    }
    m_host = std::move(host);
    m_calculation = calculation;
}

bool LoadPlugins(const QString &configDir, const QString &client)
{
    if (g_manager)
        return false;
    const QString path = QDir(configDir).filePath(QStringLiteral("PLUGINS.INI"));
    if (!QFileInfo::exists(path))
        return false;
    const IniFile ini(path);
    if (ini.notRegular())
        ReportMessage(MessageKind::Warning, notRegularFileMessage(path));
    if (!ini.sectionExists(client))
        return false;
    QString fileName;
    try {
        g_manager = std::make_unique<TPluginManager>();
        TPluginManager &m = *g_manager;
        m.CalculationEnabled =
            ini.readBool(client, QStringLiteral("PlugIn_Calculation_Enabled"), false);
        m.CalculationIsHydra = ini.readString(client, QStringLiteral("PlugIn_Calculation_Type"),
                                              QStringLiteral("VtxSE"))
                                   .compare(QStringLiteral("Hydra"), Qt::CaseInsensitive) == 0;
        m.PluginFileName = ini.readString(client, QStringLiteral("PlugIn_Calculation_Filename"));
        fileName = m.PluginFileName;
        if (!m.CalculationEnabled)
            return false;
        const QString full =
            QDir(TSystemEinstellungen::instance().ProgramDir).filePath(m.PluginFileName);
        if (m.PluginFileName.isEmpty() || !QFileInfo(full).isFile()) {
            m.CalculationEnabled = false;
            return false;
        }
        m.LoadCalculation(full);
        return true;
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::FatalError,
                      formatText(tx("Fehler beim Laden des Plugins \"%s\"."), {fileName}), nullptr,
                      &e);
        g_manager.reset();
        return false;
    }
}

void FreePlugins()
{
    g_manager.reset();
}

TPluginManager *PluginManager()
{
    return g_manager.get();
}
