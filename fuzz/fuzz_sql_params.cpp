// Fuzz target for the SQL parameter scanner: any text is scanned without a fault, the
// placeholders it reports lie inside the text in order, and the rewrite numbers them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/db/sqlparams.h"
#include "host/rtl/sysutils.h"

namespace {

[[noreturn]] void Fail(const char* what, size_t at) {
    std::fprintf(stderr, "%s (at byte %zu)\n", what, at);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string sql(reinterpret_cast<const char*>(data), size);
    const auto refs = host::FindSqlParams(sql);
    size_t last = 0;
    for (const auto& r : refs) {
        if (r.Pos < last) Fail("placeholders out of order or overlapping", r.Pos);
        if (r.Length < 2 || r.Pos + r.Length > sql.size()) Fail("placeholder outside the text", r.Pos);
        if (sql[r.Pos] != ':') Fail("placeholder not at a colon", r.Pos);
        if (r.Name.empty()) Fail("placeholder without a name", r.Pos);
        last = r.Pos + r.Length;
    }
    const auto names = host::SqlParamNames(sql);
    if (names.size() > refs.size()) Fail("more names than placeholders", 0);
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = i + 1; j < names.size(); ++j)
            if (host::SameText(names[i], names[j])) Fail("a name listed twice", j);
    // Each placeholder becomes "?N" with N within the names' count.
    const std::string out = host::ReplaceSqlParams(sql);
    size_t marks = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] != '?' || i + 1 >= out.size() || out[i + 1] < '1' || out[i + 1] > '9') continue;
        size_t n = 0, k = i + 1;
        while (k < out.size() && out[k] >= '0' && out[k] <= '9' && n < 100000) n = n * 10 + size_t(out[k++] - '0');
        if (n >= 1 && n <= names.size()) ++marks;
    }
    if (marks < refs.size()) Fail("a placeholder was not rewritten", marks);
    return 0;
}
