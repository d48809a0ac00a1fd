// Feeds arbitrary bytes to the stock article reader. Besides not crashing, whatever it read must
// write out and read back to the same text: a text that changes on its second trip means the
// writer produces something the reader takes differently.
#include "app/base/formatsettings.h"
#include "app/base/messages.h"
#include "stock/lagerserverobj.h"

#include <QBuffer>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool once = [] {
        FormatSettings::current() = FormatSettings::german();
        Messages::setSilent(true);
        return true;
    }();
    (void)once;

    static TLagerServerObj article;
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    article.LoadFromStream(&buffer);

    const QString first = article.GetXMLText(true);
    static TLagerServerObj again;
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
    return 0;
}
