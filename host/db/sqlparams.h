// Finding `:name` parameter placeholders in SQL text and rewriting them for SQLite.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// One placeholder in a statement's text.
struct TSqlParamRef {
    std::string Name;   // the parameter's name, without the colon or quotes
    size_t Pos = 0;     // byte offset of the colon
    size_t Length = 0;  // bytes from the colon to the end of the name (quotes included)
};

// The placeholders of Sql in order of appearance. A placeholder is a colon
// followed by a name: identifier characters (letters, digits, '_', and any byte
// of a UTF-8 sequence) or a double-quoted name (`:"first name"`, `""` inside for
// a quote). Colons inside string literals ('...' with '' escapes), quoted
// identifiers ("..." and [...]), line comments (-- to the end of the line) and
// block comments (/* ... */) are text, and so is `::`, which stands for one
// literal colon. An unterminated literal or comment runs to the end of the text.
std::vector<TSqlParamRef> FindSqlParams(std::string_view Sql);

// The distinct parameter names of Sql in order of first appearance; names are
// compared without regard to ASCII case.
std::vector<std::string> SqlParamNames(std::string_view Sql);

// Sql as SQLite should receive it: each placeholder becomes `?N`, where N is the
// 1-based position of its name in SqlParamNames (so a name used twice binds one
// value), and each `::` outside literals and comments becomes one `:`.
std::string ReplaceSqlParams(std::string_view Sql);

}  // namespace host
