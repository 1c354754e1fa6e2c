// The libFuzzer program of AmountFormatCase.
#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return zomi::fuzz::RunFuzzerCase(zomi::fuzz::AmountFormatCase, data, size);
}
