// Fuzz target: the PE resource-directory reader behind LoadLibrary.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/os/modules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    std::vector<host::pe::TPeResource> found;
    if (host::pe::ReadResources(Data, Size, found))
        for (const auto& r : found)
            if (r.Offset > Size || r.Size > Size - r.Offset) __builtin_trap();
    return 0;
}
