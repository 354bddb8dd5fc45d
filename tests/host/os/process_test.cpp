// Child processes, shell opening through a stand-in xdg-open, and the instance lock.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "host/os/instance.h"
#include "host/os/process.h"
#include "host/os/shell.h"
#include "host/rtl/exceptions.h"
#include "support/tempdir.h"

using namespace host;

namespace {

// Puts a program called Name in Dir that writes its arguments, one per line, to
// Dir/<Name>.args, and puts Dir first on PATH for the life of the object.
class TFakeProgram {
public:
    TFakeProgram(const std::string& Dir, const std::string& Name) : FArgs(Dir + "/" + Name + ".args") {
        std::string path = Dir + "/" + Name;
        ::unlink(FArgs.c_str());
        std::ofstream(path) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" << FArgs
                            << ".part\"\nmv \"" << FArgs << ".part\" \"" << FArgs << "\"\n";
        ::chmod(path.c_str(), 0755);
        const char* old = std::getenv("PATH");
        FOldPath = old ? old : "";
        ::setenv("PATH", (Dir + ":" + FOldPath).c_str(), 1);
    }
    ~TFakeProgram() { ::setenv("PATH", FOldPath.c_str(), 1); }
    // The arguments the program got (waits up to 5 s for it to run).
    std::vector<std::string> Args() const {
        for (int i = 0; i < 500 && ::access(FArgs.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> out;
        std::ifstream in(FArgs);
        for (std::string line; std::getline(in, line);) out.push_back(line);
        return out;
    }

private:
    std::string FArgs, FOldPath;
};

}  // namespace

TEST(ProcessTest, CommandLinesSplitLikeTheStartUpCode) {
    using V = std::vector<std::string>;
    EXPECT_EQ(CommandLineToArgv("  prog  a\tb  "), (V{"prog", "a", "b"}));
    EXPECT_EQ(CommandLineToArgv("\"C:\\Program Files\\x.exe\" \"two words\" x\"y z\""),
              (V{"C:\\Program Files\\x.exe", "two words", "xy z"}));
    EXPECT_EQ(CommandLineToArgv("a\\\\\\\"b c\\\\\"d e\" f\\g"), (V{"a\\\"b", "c\\d e", "f\\g"}));
    EXPECT_EQ(CommandLineToArgv("echo $(rm -rf x); ls"), (V{"echo", "$(rm", "-rf", "x);", "ls"}));
    EXPECT_TRUE(CommandLineToArgv("   ").empty());
}

TEST(ProcessTest, StartsWaitsReportsAndReleases) {
    const int before = LiveProcessHandles();
    {
        auto p = TProcess::Start({"sh", "-c", "exit 7"});
        EXPECT_EQ(LiveProcessHandles(), before + 1);
        EXPECT_TRUE(p->Wait());
        EXPECT_EQ(p->ExitCode(), 7);
        EXPECT_FALSE(p->Running());

        auto slow = TProcess::Start({"sleep", "0.3"});
        EXPECT_EQ(slow->ExitCode(), STILL_ACTIVE);
        EXPECT_FALSE(slow->Wait(20));
        int pumped = 0;
        EXPECT_TRUE(slow->Wait(INFINITE, [&] { ++pumped; }));
        EXPECT_GT(pumped, 3);  // the loop kept running while waiting
        EXPECT_EQ(slow->ExitCode(), 0);

        testsupport::TTempDir dir;
        auto inDir = TProcess::Start({"sh", "-c", "pwd > out.txt"}, dir.Path());
        inDir->Wait();
        std::ifstream in(dir.File("out.txt"));
        std::string cwd;
        std::getline(in, cwd);
        EXPECT_EQ(std::filesystem::canonical(cwd), std::filesystem::canonical(dir.Path()));
        // A handle released while its process runs does not wait for it.
        TProcess::Start({"sleep", "0.1"});
    }
    EXPECT_EQ(LiveProcessHandles(), before);
    try {
        TProcess::Start({"no-such-program-ryx"});
        FAIL() << "started a missing program";
    } catch (const EOSError& e) {
        EXPECT_NE(e.Message().find("no-such-program-ryx"), std::string::npos);
    }
    EXPECT_THROW(TProcess::Start({}), EOSError);
    EXPECT_EQ(LiveProcessHandles(), before);
}

TEST(ProcessTest, HaltGoesThroughTheHandler) {
    int code = -1;
    auto old = SetHaltHandler([&](int c) { code = c; });
    Halt(3);
    EXPECT_EQ(code, 3);
    SetHaltHandler(old);
}

TEST(ShellTest, TargetsReachTheOpenerAsOneArgument) {
    testsupport::TTempDir dir;
    const std::string url = "http://example.com/a b?x=1&y=$(touch " + dir.File("pwned") + ");z='q'\"";
    {
        TFakeProgram opener(dir.Path(), "xdg-open");
        EXPECT_TRUE(OpenURL(url));
        EXPECT_EQ(opener.Args(), std::vector<std::string>{url});
    }
    EXPECT_NE(::access(dir.File("pwned").c_str(), F_OK), 0);
    EXPECT_FALSE(OpenURL("--help"));
    EXPECT_FALSE(OpenURL(""));

    // A document opens through the opener; "print" goes to the spooler; a file
    // that does not exist, or an unknown verb, starts nothing.
    std::ofstream(dir.File("my doc.txt")) << "x";
    {
        TFakeProgram opener(dir.Path(), "xdg-open");
        EXPECT_GT(ShellExecuteA(nullptr, "open", dir.File("my doc.txt").c_str(), nullptr, nullptr, 1), 32);
        EXPECT_EQ(opener.Args(), std::vector<std::string>{dir.File("my doc.txt")});
    }
    {
        TFakeProgram spooler(dir.Path(), "lp");
        EXPECT_GT(ShellExecuteA(nullptr, "print", dir.File("my doc.txt").c_str(), nullptr, nullptr, 1), 32);
        EXPECT_EQ(spooler.Args(), (std::vector<std::string>{"--", dir.File("my doc.txt")}));
    }
    EXPECT_EQ(ShellExecuteA(nullptr, "open", dir.File("missing.txt").c_str(), nullptr, nullptr, 1), SE_ERR_FNF);
    EXPECT_EQ(ShellExecuteA(nullptr, "frobnicate", dir.File("my doc.txt").c_str(), nullptr, nullptr, 1),
              SE_ERR_NOASSOC);

    // An executable runs itself with its parameters; the process is handed back when asked.
    const std::string script = dir.File("tool.sh");
    std::ofstream(script) << "#!/bin/sh\nexit $#\n";
    ::chmod(script.c_str(), 0755);
    SHELLEXECUTEINFOA info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = script.c_str();
    info.lpParameters = "one \"two three\" four";
    ASSERT_TRUE(ShellExecuteExA(&info));
    ASSERT_TRUE(info.hProcess);
    info.hProcess->Wait();
    EXPECT_EQ(info.hProcess->ExitCode(), 3);
}

TEST(InstanceLockTest, OneHolderPerNameAndTheLockPassesOn) {
    testsupport::TTempDir dir;
    ::setenv("RYX_RUNTIME_DIR", dir.Path().c_str(), 1);
    {
        auto first = std::make_unique<TInstanceLock>("app one");
        EXPECT_FALSE(first->AlreadyExisted());
        TInstanceLock second("app one");
        EXPECT_TRUE(second.AlreadyExisted());
        TInstanceLock other("app two");
        EXPECT_FALSE(other.AlreadyExisted());
        EXPECT_EQ(first->Serve([](const std::string&) { return std::string("ok"); }), 0);
        first.reset();
        TInstanceLock third("app one");
        EXPECT_FALSE(third.AlreadyExisted());
        // Nobody holds a lock it could talk to.
        std::string answer;
        EXPECT_FALSE(third.Send("activate", answer, 100));
    }
    ::unsetenv("RYX_RUNTIME_DIR");
}
