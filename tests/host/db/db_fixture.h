// A temporary folder with its own engine configuration file, for the engine-dataset tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/db/dbiengine.h"

#include "support/tempdir.h"

namespace dbtest {

class TDbTemp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FTemp.Path().empty());
        Dir = FTemp.Path();
        FOldCfg = host::DbiCfgGetPath();
        host::DbiCfgSetPath(Dir + "/dbi.cfg");
    }
    void TearDown() override {
        host::DbiClearInjectedFailures();
        host::DbiCfgSetPath(FOldCfg);
    }
    std::string Path(const std::string& Name) const { return Dir + "/" + Name; }

    testsupport::TTempDir FTemp;
    std::string Dir;

private:
    std::string FOldCfg;
};

}  // namespace dbtest
