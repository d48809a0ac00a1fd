// A calculation plug-in for the loader tests: proposes purchase price plus 50 %.
#include "suite/calculationplugin.h"

#include <QObject>

class TestCalculation : public QObject, public ICalculationPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ICalculationPlugin_iid)
    Q_INTERFACES(ICalculationPlugin)
public:
    QString name() const override { return QStringLiteral("Test"); }
    double salePrice(const QString &, const QString &, double purchasePrice) const override
    {
        return purchasePrice * 1.5;
    }
};

#include "testcalcplugin.moc"
