// Feeds arbitrary bytes to the reader of the simple catalog article's XMLDATA text.
#include "catalogs/katalog2artikel.h"
#include "fuzz/roundtrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzRoundTrip<TKatalog2Artikel>(data, size);
    return 0;
}
