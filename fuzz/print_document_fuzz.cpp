// Feeds arbitrary bytes to the print program's document reader. Documents come from other
// programs and from disk, so whatever they hold must end in a message, never a crash.
#include "base/messages.h"
#include "printing/printdocument.h"

#include <QBuffer>
#include <QByteArray>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = [] {
        Messages::setSilent(true);
        return true;
    }();
    (void)once;
    // Reused, as a preview reloads documents into the same object.
    static TPrintDocument document;
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    document.LoadFromStream(&buffer);
    (void)document.Problem();
    return 0;
}
