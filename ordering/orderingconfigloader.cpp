#include "ordering/orderingconfigloader.h"

#include "base/messages.h"
#include "base/translation.h"
#include "ordering/bestellwesenconfig.h"

#include <QDir>

TBestellwesenConfig &ProgramOrderingConfig()
{
    static TBestellwesenConfig config;
    return config;
}

bool LoadOrderingConfig(TBestellwesenConfig &config, const QString &orderingDir)
{
    const QString fileName = QDir(orderingDir).filePath(QStringLiteral("CONFIG.XML"));
    config.LoadFromFile(fileName);
    if (!config.HasError())
        return true;
    config.Clear();
    ReportMessage(MessageKind::Warning,
                  formatText(tx("Die Konfiguration des Bestellwesens \"%s\" ist beschaedigt; es "
                                "gelten die Voreinstellungen."),
                             {fileName}));
    return false;
}
