// Tests of the SQL parameter scanner: placeholders found only outside literals and comments, and the SQLite rewrite.
#include <gtest/gtest.h>

#include "host/db/sqlparams.h"

using namespace host;

namespace {

std::vector<std::string> Names(std::string_view sql) {
    std::vector<std::string> out;
    for (const auto& r : FindSqlParams(sql)) out.push_back(r.Name);
    return out;
}

}  // namespace

TEST(QuerySqlParams, FindsPlaceholdersOutsideLiteralsAndComments) {
    const std::string sql = "select * from T where A = :A and B > :Bee_2";
    const auto refs = FindSqlParams(sql);
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_EQ(refs[0].Name, "A");
    EXPECT_EQ(refs[0].Pos, sql.find(":A"));
    EXPECT_EQ(refs[0].Length, 2u);
    EXPECT_EQ(refs[1].Name, "Bee_2");
    EXPECT_EQ(refs[1].Length, 6u);

    EXPECT_TRUE(Names("select ':x', 'it''s :y' from t").empty());
    EXPECT_TRUE(Names("select \"a:b\", [c:d] from t").empty());
    EXPECT_TRUE(Names("select 1 -- :c\n/* :d */").empty());
    EXPECT_EQ(Names("select 1 -- :c\nwhere x = :e"), (std::vector<std::string>{"e"}));
    EXPECT_EQ(Names("select x::int, :f from t"), (std::vector<std::string>{"f"}));
    EXPECT_EQ(Names("a = :\"first name\" and b = :\"say \"\"hi\"\"\""),
              (std::vector<std::string>{"first name", "say \"hi\""}));
    // A colon that starts no name is text; so are unterminated literals and comments.
    EXPECT_TRUE(Names("select a : b, c :, :").empty());
    EXPECT_TRUE(Names("select ':x").empty());
    EXPECT_TRUE(Names("select /* :x").empty());
    EXPECT_TRUE(Names("x = :\"open").empty());
    EXPECT_TRUE(Names("x = :\"\"").empty());
    EXPECT_EQ(Names("x = :n\xc3\xa4me"), (std::vector<std::string>{"n\xc3\xa4me"}));
}

TEST(QuerySqlParams, RewritesForSqliteWithOneSlotPerName) {
    EXPECT_EQ(SqlParamNames("update t set a = :X, b = :y where id = :x"), (std::vector<std::string>{"X", "y"}));
    EXPECT_EQ(ReplaceSqlParams("update t set a = :X, b = :y where id = :x"),
              "update t set a = ?1, b = ?2 where id = ?1");
    EXPECT_EQ(ReplaceSqlParams("select ':a', x::int from t where y = :a -- :b"),
              "select ':a', x:int from t where y = ?1 -- :b");
    // A digit right after a quoted name must not join the slot's number.
    EXPECT_EQ(ReplaceSqlParams("select :\"a\"5"), "select ?1 5");
    EXPECT_EQ(ReplaceSqlParams(""), "");
    EXPECT_EQ(ReplaceSqlParams("no params"), "no params");
}
