// Child processes started from an argument vector (never through a shell), waiting for them, their exit codes, and the hookable end of the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {

inline constexpr uint32_t INFINITE = 0xFFFFFFFFu;
inline constexpr int STILL_ACTIVE = 259;

// Splits a command line into arguments the way the classic start-up code does:
// blanks and tabs separate arguments; double quotes group blanks into one
// argument and are dropped; a backslash before a quote makes a literal quote
// (2n backslashes before a quote give n and the quote groups). No shell
// expansion of any kind happens.
std::vector<std::string> CommandLineToArgv(const std::string& CommandLine);

// A started child process. The object is its handle: destroying it releases the
// handle without stopping the process (a process still running is reaped once
// it ends, so no zombie stays behind).
class TProcess {
public:
    // Starts Args[0] (looked up on PATH when it holds no '/') with the argument
    // vector Args, in Directory when not empty. Raises EOSError naming the
    // program when it cannot be started (missing, not executable, empty Args).
    static std::unique_ptr<TProcess> Start(const std::vector<std::string>& Args,
                                           const std::string& Directory = std::string());
    ~TProcess();
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;

    int Pid() const { return FPid; }
    // True while the process has not ended (polls without blocking).
    bool Running();
    // Waits up to Milliseconds of real time (INFINITE: until it ends); true when
    // it has ended. While waiting, Pump (when given) is called every few
    // milliseconds, so that a message loop keeps running.
    bool Wait(uint32_t Milliseconds = INFINITE, const std::function<void()>& Pump = nullptr);
    // The exit code once ended (128 + the signal number when a signal ended
    // it); STILL_ACTIVE before.
    int ExitCode();

private:
    explicit TProcess(int Pid) : FPid(Pid) {}
    bool Reap(bool Block);
    int FPid = 0;
    bool FEnded = false;
    int FExitCode = STILL_ACTIVE;
};

// How many process handles are alive now (tests check that none leak).
int LiveProcessHandles();

// Ends the program with ExitCode through the halt handler: by default the
// process exits (std::exit). Tests and embedding programs install their own
// handler; a handler that returns makes Halt return as well.
void Halt(int ExitCode = 0);
// Installs Handler (nullptr: the default); returns the previous one.
std::function<void(int)> SetHaltHandler(std::function<void(int)> Handler);

}  // namespace host
