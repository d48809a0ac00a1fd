#pragma once

#include "tests/support/scriptedinteraction.h"

#include <QStringList>

// The texts of the messages a scripted user was shown, in order; with firstLines only the
// first line of each, where the rest names changing details.
inline QStringList messageTexts(const ScriptedInteraction &ui, bool firstLines = false)
{
    QStringList list;
    for (const auto &m : ui.messages)
        list.append(firstLines ? m.text.section(u'\n', 0, 0) : m.text);
    return list;
}
