// The libFuzzer program of RepairUtf8Case.
#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return zomi::fuzz::RunFuzzerCase(zomi::fuzz::RepairUtf8Case, data, size);
}
