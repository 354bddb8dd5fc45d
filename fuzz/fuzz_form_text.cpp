// Fuzz target for form files in both forms: the text parser and the binary converter
// must reject bad input with their own exceptions, and whatever they accept must
// convert back and forth without change.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/rtl/exceptions.h"
#include "host/rtl/formtext.h"

namespace {

[[noreturn]] void Unstable(const char* what, const std::string& a, const std::string& b) {
    std::fprintf(stderr, "%s: %zu bytes became %zu bytes\n", what, a.size(), b.size());
    std::abort();
}

// Binary is a conversion's output: its text must parse and give the same bytes again.
void CheckStable(const std::string& binary) {
    const std::string text = host::ObjectBinaryToTextString(binary);
    const std::string again = host::ObjectTextToBinaryString(text);
    if (again != binary) Unstable("binary -> text -> binary", binary, again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    // The input as text.
    std::string binary;
    bool parsed = false;
    try {
        binary = host::ObjectTextToBinaryString(input);
        parsed = true;
    } catch (const host::EParserError&) {
    }
    if (parsed) CheckStable(binary);

    // The input as binary. Its text need not parse (names in binary data may hold any
    // byte), but when it does the result must be stable.
    std::string text;
    bool converted = false;
    try {
        text = host::ObjectBinaryToTextString(input);
        converted = true;
    } catch (const host::EReadError&) {
    }
    if (converted) {
        std::string back;
        bool reparsed = false;
        try {
            back = host::ObjectTextToBinaryString(text);
            reparsed = true;
        } catch (const host::EParserError&) {
        }
        if (reparsed) CheckStable(back);
    }
    return 0;
}
