// Feeds arbitrary bytes to the reader of the DATANORM catalog article's XMLDATA text.
#include "catalogs/katalog1artikel.h"
#include "fuzz/roundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzRoundTrip<TKatalog1Artikel>(data, size);
    return 0;
}
