// Fuzz target: the message catalogue's language-file reader. Any text must load what
// is readable and skip the rest, never crash.
#include <cstdint>
#include <string>

#include "host/rtl/exceptions.h"
#include "host/rtl/resstrings.h"

namespace {
const host::TResStringRec sFuzzOne{"_sFuzzOne", 61001, "One"};
const host::TResStringRec sFuzzTwo{"_sFuzzTwo", 61002, "Two"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        host::LoadLanguageText(std::string(reinterpret_cast<const char*>(data), size));
        (void)host::LoadResString(sFuzzOne);
        (void)host::LoadResString(sFuzzTwo);
    } catch (const host::Exception&) {
    }
    host::UnloadLanguageFile();
    return 0;
}
