#pragma once

// The round trip every reader fuzz target checks: read arbitrary bytes, write what was read,
// read that back and write it again. Besides not crashing, the two written texts must be
// equal: a text that changes on its second trip means the writer produces something the reader
// takes differently, so data would drift a little with every save.
#include "base/formatsettings.h"
#include "base/messages.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

template <typename Object> void FuzzRoundTrip(const uint8_t *data, size_t size)
{
    static const bool once = [] {
        FormatSettings::current() = FormatSettings::german();
        Messages::setSilent(true);
        return true;
    }();
    (void)once;

    // Reused objects, as the programs reuse them: a load must not depend on the previous one.
    static Object object;
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    object.LoadFromStream(&buffer);

    const QString first = object.GetXMLText(true);
    static Object again;
    if (!again.LoadFromXMLText(first) || again.HasError()) {
        std::fprintf(stderr, "written text not readable:\n%s\n", qPrintable(first));
        std::abort();
    }
    const QString second = again.GetXMLText(true);
    if (second != first) {
        std::fprintf(stderr, "second trip differs:\n%s\n----\n%s\n", qPrintable(first),
                     qPrintable(second));
        std::abort();
    }
}
