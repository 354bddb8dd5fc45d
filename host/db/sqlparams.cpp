// Finding `:name` parameter placeholders in SQL text and rewriting them for SQLite.
#include "host/db/sqlparams.h"

#include "host/rtl/sysutils.h"

namespace host {

namespace {

bool IsNameByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

// Skips a quoted run that starts at i (the opening quote); a doubled closing
// quote stands for itself. Returns the index just past the closing quote, or
// the end of the text (Closed tells which).
size_t SkipQuoted(std::string_view s, size_t i, char close, bool* Closed = nullptr) {
    for (++i; i < s.size(); ++i) {
        if (s[i] != close) continue;
        if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
            ++i;
            continue;
        }
        if (Closed) *Closed = true;
        return i + 1;
    }
    if (Closed) *Closed = false;
    return s.size();
}

// Walks the text once: OnParam for each placeholder, OnDoubleColon for each
// `::` outside literals and comments.
template <class P, class D>
void Scan(std::string_view s, P OnParam, D OnDoubleColon) {
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\'' || c == '"') {
            i = SkipQuoted(s, i, c);
        } else if (c == '[') {
            i = SkipQuoted(s, i, ']');
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            const size_t nl = s.find('\n', i);
            i = nl == std::string_view::npos ? s.size() : nl;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            const size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
        } else if (c == ':' && i + 1 < s.size() && s[i + 1] == ':') {
            OnDoubleColon(i);
            i += 2;
        } else if (c == ':' && i + 1 < s.size() && s[i + 1] == '"') {
            bool closed = false;
            const size_t end = SkipQuoted(s, i + 1, '"', &closed);
            if (!closed) {
                i = end;  // an unterminated quoted name is no placeholder
                continue;
            }
            std::string name;
            for (size_t k = i + 2; k + 1 < end; ++k) {
                name += s[k];
                if (s[k] == '"') ++k;  // "" inside the name stands for one quote
            }
            if (name.empty()) {  // `:""` names nothing
                i = end;
                continue;
            }
            OnParam(TSqlParamRef{std::move(name), i, end - i});
            i = end;
        } else if (c == ':' && i + 1 < s.size() && IsNameByte(static_cast<unsigned char>(s[i + 1]))) {
            size_t k = i + 1;
            while (k < s.size() && IsNameByte(static_cast<unsigned char>(s[k]))) ++k;
            OnParam(TSqlParamRef{std::string(s.substr(i + 1, k - i - 1)), i, k - i});
            i = k;
        } else {
            ++i;
        }
    }
}

}  // namespace

std::vector<TSqlParamRef> FindSqlParams(std::string_view Sql) {
    std::vector<TSqlParamRef> refs;
    Scan(Sql, [&](TSqlParamRef r) { refs.push_back(std::move(r)); }, [](size_t) {});
    return refs;
}

std::vector<std::string> SqlParamNames(std::string_view Sql) {
    std::vector<std::string> names;
    Scan(
        Sql,
        [&](TSqlParamRef r) {
            for (const auto& n : names)
                if (SameText(n, r.Name)) return;
            names.push_back(std::move(r.Name));
        },
        [](size_t) {});
    return names;
}

std::string ReplaceSqlParams(std::string_view Sql) {
    std::vector<std::string> names;
    std::string out;
    out.reserve(Sql.size());
    size_t copied = 0;
    auto copyTo = [&](size_t pos) {
        out.append(Sql.substr(copied, pos - copied));
        copied = pos;
    };
    Scan(
        Sql,
        [&](const TSqlParamRef& r) {
            size_t n = 0;
            while (n < names.size() && !SameText(names[n], r.Name)) ++n;
            if (n == names.size()) names.push_back(r.Name);
            copyTo(r.Pos);
            out += '?';
            out += std::to_string(n + 1);
            copied = r.Pos + r.Length;
            // A digit right after a quoted name would run into the number.
            if (copied < Sql.size() && Sql[copied] >= '0' && Sql[copied] <= '9') out += ' ';
        },
        [&](size_t pos) {
            copyTo(pos);
            out += ':';
            copied = pos + 2;
        });
    copyTo(Sql.size());
    return out;
}

}  // namespace host
