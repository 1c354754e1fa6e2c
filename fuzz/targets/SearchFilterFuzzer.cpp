// The libFuzzer program of SearchFilterCase.
#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return zomi::fuzz::RunFuzzerCase(zomi::fuzz::SearchFilterCase, data, size);
}
