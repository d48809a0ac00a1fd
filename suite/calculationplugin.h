#pragma once

#include <QString>
#include <QtPlugin>

// What a calculation plug-in offers the stock module: a sale-price proposal for an article.
// Plain doubles keep the plug-in independent of the module's own types and libraries.
class ICalculationPlugin
{
public:
    virtual ~ICalculationPlugin() = default;
    virtual QString name() const = 0;
    // Proposed net sale price for a purchase price, or a negative value for "no proposal".
    virtual double salePrice(const QString &articleNr, const QString &articleGroup,
                             double purchasePrice) const = 0;
};

#define ICalculationPlugin_iid "de.handwerk.mod00501.ICalculationPlugin/1.0"
Q_DECLARE_INTERFACE(ICalculationPlugin, ICalculationPlugin_iid)
