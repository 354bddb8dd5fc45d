// A temporary folder with its own engine configuration file, for the engine-dataset tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/db/dbiengine.h"

namespace dbtest {

class TDbTemp : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/ryx_db3_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        Dir = tmpl;
        FOldCfg = host::DbiCfgGetPath();
        host::DbiCfgSetPath(Dir + "/dbi.cfg");
    }
    void TearDown() override {
        host::DbiClearInjectedFailures();
        host::DbiCfgSetPath(FOldCfg);
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    std::string Path(const std::string& Name) const { return Dir + "/" + Name; }

    std::string Dir;

private:
    std::string FOldCfg;
};

}  // namespace dbtest
