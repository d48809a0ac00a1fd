#pragma once

#include <QString>
#include <memory>

class ICalculationPlugin;
class QPluginLoader;

// The optional calculation plug-in of the logged-on client, configured in PLUGINS.INI.
class TPluginManager
{
public:
    TPluginManager();
    ~TPluginManager();

    // Loads the file as the calculation plug-in; throws std::runtime_error when it cannot.
    void LoadCalculation(const QString &fileName);
    ICalculationPlugin *Calculation() const { return m_calculation; }

    bool CalculationEnabled = false;
    bool CalculationIsHydra = false;
    QString PluginFileName;

private:
    std::unique_ptr<QPluginLoader> m_host;
    ICalculationPlugin *m_calculation = nullptr;
};

// Reads the client's section of PLUGINS.INI in the configuration directory and loads the
// calculation plug-in it names (relative to the program directory). False when no plug-in
// was loaded; a failure is reported once and the program goes on without it.
bool LoadPlugins(const QString &configDir, const QString &client);
void FreePlugins();
// The program's plug-in manager, null before LoadPlugins and after FreePlugins.
TPluginManager *PluginManager();
