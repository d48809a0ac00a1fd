// Feeds arbitrary bytes to the stock article reader.
#include "fuzz/roundtrip.h"
#include "stock/lagerserverobj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzRoundTrip<TLagerServerObj>(data, size);
    return 0;
}
