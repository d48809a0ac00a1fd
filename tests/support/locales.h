#pragma once

#include <QString>

// Whether the system can start a process under the locale ("de_DE.UTF-8"); tests that need
// a second locale skip without it. The C locales are always there.
bool LocaleInstalled(const QString &name);
