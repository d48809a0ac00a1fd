#pragma once

#include <QStringList>

namespace Translation
{
// The msgids looked up through tx() since the last setup() that the catalog does not hold,
// in the order they were first asked for: what a user would see in ASCII German. Tests
// open the windows translated and expect none.
QStringList untranslated();
} // namespace Translation
