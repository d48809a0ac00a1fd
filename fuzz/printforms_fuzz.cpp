// Feeds arbitrary bytes to the reader of FORMULAR.XML and checks that its writer round-trips.
#include "fuzz/roundtrip.h"
#include "printing/printforms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzRoundTrip<TPrintForms>(data, size);
    return 0;
}
