// Filter expressions: parsing into a tree, evaluation per record buffer, translation to SQL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/db/dbiengine.h"

namespace host {

// Options of a filter expression: the bits match the framework's filter
// options set (foCaseInsensitive = bit 0, foNoPartialCompare = bit 1).
inline constexpr unsigned fxoCaseInsensitive = 1;
inline constexpr unsigned fxoNoPartialCompare = 2;

struct TFilterNode;

// A compiled filter expression. Grammar:
//   expr     = term { OR term }
//   term     = factor { AND factor }
//   factor   = NOT factor | '(' expr ')' | compare
//   compare  = operand [ relop operand ] | operand IS [NOT] NULL
//   operand  = field | 'string' | "string" | number | NULL | TRUE | FALSE
//   field    = name | [name with any characters]
//   relop    = '=' | '<>' | '<' | '>' | '<=' | '>='
// A comparison needs a field on one side and a constant on the other; a bare
// field must be Boolean. NULL goes only with '=' and '<>' (and IS [NOT] NULL).
// A string constant ending in '*' compared with '=' or '<>' matches text
// starting with what precedes the '*', unless fxoNoPartialCompare.
// fxoCaseInsensitive compares strings ignoring ASCII case. Dates, times and
// timestamps are written as quoted text ('2024-03-01', '2024-03-01 10:00', or
// in the short date form of the format settings). A comparison with a null
// field value is false, except "= NULL" / "IS NULL" (true) and "<> NULL".
// Syntax errors raise EExprParserError with the catalogue's filter texts.
class TFilterExpr : public std::enable_shared_from_this<TFilterExpr> {
public:
    // Compiles Text against the fields. Raises EExprParserError.
    static std::shared_ptr<const TFilterExpr> Compile(const std::string& Text, const std::vector<FLDDesc>& Fields,
                                                      unsigned Options);
    ~TFilterExpr();
    TFilterExpr(const TFilterExpr&) = delete;
    TFilterExpr& operator=(const TFilterExpr&) = delete;

    const std::string& Text() const { return FText; }
    unsigned Options() const { return FOptions; }
    // True when the record in RecBuf (laid out as the fields given to Compile) passes.
    bool Evaluate(const uint8_t* RecBuf) const;
    // Whether SQLite can evaluate the whole expression (ToSQL succeeds).
    bool Translatable() const { return FTranslatable; }
    // A WHERE condition with '?' placeholders and their values, in order, that
    // selects exactly the records Evaluate passes; false when not translatable.
    // Column names are written as "name" (double quotes).
    bool ToSQL(std::string& Where, std::vector<DBIValue>& Params) const;
    // Field numbers the expression reads.
    std::vector<uint16_t> FieldsUsed() const;
    // The field descriptors it was compiled against.
    const std::vector<FLDDesc>& Fields() const { return FFields; }

private:
    TFilterExpr() = default;
    std::string FText;
    unsigned FOptions = 0;
    std::vector<FLDDesc> FFields;
    std::unique_ptr<TFilterNode> FRoot;
    bool FTranslatable = false;
    friend class TFilterParser;
};

// The framework's expression parser object: compiles a filter text for a
// cursor and hands the engine the compiled expression (FilterData) for
// DbiAddFilter. Raises EExprParserError on a syntax error.
class TExprParser {
public:
    TExprParser(hDBICur Cursor, const std::string& Text, unsigned Options, unsigned ParserOptions = 0);
    TExprParser(const std::vector<FLDDesc>& Fields, const std::string& Text, unsigned Options);
    const TFilterExpr* FilterData() const { return FExpr.get(); }
    std::shared_ptr<const TFilterExpr> Expr() const { return FExpr; }

private:
    std::shared_ptr<const TFilterExpr> FExpr;
};

}  // namespace host
