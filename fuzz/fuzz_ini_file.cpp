// Fuzz target: the ini-file reader and writer. Any bytes must load, and what is written
// back must read back to itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/app/inifiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string once = host::inifile::Roundtrip(std::string(reinterpret_cast<const char*>(data), size));
    if (host::inifile::Roundtrip(once) != once) std::abort();
    return 0;
}
