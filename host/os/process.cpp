// Child processes: posix_spawn with an argument vector, non-blocking and pumped waits, exit codes, reaping of released handles, and Halt.
#include "host/os/process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/rtl/exceptions.h"

extern char** environ;

namespace host {

namespace {

int LiveHandles = 0;
// Processes whose handle was released while they still ran: reaped later so
// that they do not stay as zombies.
std::vector<int>& Orphans() {
    static std::vector<int> list;
    return list;
}

void ReapOrphans() {
    auto& list = Orphans();
    for (size_t i = 0; i < list.size();) {
        int status = 0;
        pid_t r = ::waitpid(list[i], &status, WNOHANG);
        if (r == list[i] || (r < 0 && errno == ECHILD))
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
}

void SleepRealMs(int Ms) {
    struct timespec ts{Ms / 1000, static_cast<long>(Ms % 1000) * 1000000L};
    ::nanosleep(&ts, nullptr);
}

uint64_t RealMs() {
    struct timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

std::function<void(int)>& HaltHandler() {
    static std::function<void(int)> handler;
    return handler;
}

}  // namespace

std::vector<std::string> CommandLineToArgv(const std::string& CommandLine) {
    std::vector<std::string> args;
    size_t i = 0, n = CommandLine.size();
    for (;;) {
        while (i < n && (CommandLine[i] == ' ' || CommandLine[i] == '\t')) ++i;
        if (i >= n) break;
        std::string arg;
        bool quoted = false;
        for (; i < n; ++i) {
            char c = CommandLine[i];
            if (!quoted && (c == ' ' || c == '\t')) break;
            if (c == '\\') {
                size_t slashes = 0;
                while (i < n && CommandLine[i] == '\\') ++slashes, ++i;
                if (i < n && CommandLine[i] == '"') {
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        arg += '"';
                        continue;
                    }
                    --i;  // the quote toggles grouping on the next round
                    continue;
                }
                arg.append(slashes, '\\');
                --i;
                continue;
            }
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            arg += c;
        }
        args.push_back(arg);
    }
    return args;
}

std::unique_ptr<TProcess> TProcess::Start(const std::vector<std::string>& Args, const std::string& Directory) {
    ReapOrphans();
    if (Args.empty() || Args[0].empty()) throw EOSError("Cannot start a process: no program given");
    std::vector<char*> argv;
    argv.reserve(Args.size() + 1);
    for (const std::string& a : Args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!Directory.empty()) ::posix_spawn_file_actions_addchdir_np(&actions, Directory.c_str());
    pid_t pid = 0;
    int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw EOSError("Cannot start \"" + Args[0] + "\": " + std::strerror(rc));
    ++LiveHandles;
    return std::unique_ptr<TProcess>(new TProcess(pid));
}

TProcess::~TProcess() {
    --LiveHandles;
    if (!FEnded && !Reap(false)) Orphans().push_back(FPid);
}

bool TProcess::Reap(bool Block) {
    if (FEnded) return true;
    int status = 0;
    pid_t r;
    do r = ::waitpid(FPid, &status, Block ? 0 : WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r == 0) return false;
    FEnded = true;
    if (r < 0)
        FExitCode = -1;  // reaped elsewhere: the code is lost
    else if (WIFEXITED(status))
        FExitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        FExitCode = 128 + WTERMSIG(status);
    else
        FExitCode = -1;
    return true;
}

bool TProcess::Running() { return !Reap(false); }

bool TProcess::Wait(uint32_t Milliseconds, const std::function<void()>& Pump) {
    if (Reap(false)) return true;
    if (Milliseconds == INFINITE && !Pump) return Reap(true);
    const uint64_t start = RealMs();
    for (;;) {
        if (Pump) Pump();
        if (Reap(false)) return true;
        if (Milliseconds != INFINITE && RealMs() - start >= Milliseconds) return false;
        SleepRealMs(5);
    }
}

int TProcess::ExitCode() {
    Reap(false);
    return FExitCode;
}

int LiveProcessHandles() { return LiveHandles; }

void Halt(int ExitCode) {
    auto& handler = HaltHandler();
    if (handler) {
        handler(ExitCode);
        return;
    }
    std::exit(ExitCode);
}

std::function<void(int)> SetHaltHandler(std::function<void(int)> Handler) {
    auto old = std::move(HaltHandler());
    HaltHandler() = std::move(Handler);
    return old;
}

}  // namespace host
