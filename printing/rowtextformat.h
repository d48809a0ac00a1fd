#pragma once

#include <QString>
#include <functional>
#include <variant>
#include <vector>

// One argument of a row pattern: a text, an integer or an amount of money.
struct TRowAmount {
    double Value = 0;
};
using TRowArgument = std::variant<QString, qint64, TRowAmount>;

// Fills a row pattern the way the layouts are written for the suite's Format: %s, %d, %f,
// %n (thousands separators) and %m (money) with optional "-", width and ".precision", and
// "%%". Numbers use the installation's separators, never the process locale. Placeholders
// beyond the arguments print empty: a row whose evaluation stopped early is normal.
// formatMoney renders %m; without it the amount prints with two decimals and separators.
QString FormatRowText(const QString &pattern, const std::vector<TRowArgument> &arguments,
                      const std::function<QString(double)> &formatMoney = {});
