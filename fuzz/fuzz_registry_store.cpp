// Fuzz target: the registry store's file reader and writer. Any bytes must load, and
// what is written back must read back to itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/os/winreg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string once = host::regstore::Roundtrip(std::string(reinterpret_cast<const char*>(data), size));
    if (host::regstore::Roundtrip(once) != once) std::abort();
    return 0;
}
