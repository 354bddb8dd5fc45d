// The single-instance guard: flock on a file of the runtime folder and a Unix-domain socket channel to the holder.
#include "host/os/instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace host {

namespace {

std::string HashName(const std::string& Name) {
    uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (unsigned char c : Name) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

bool MakeAddress(const std::string& Path, sockaddr_un& Addr) {
    std::memset(&Addr, 0, sizeof Addr);
    Addr.sun_family = AF_UNIX;
    if (Path.size() >= sizeof Addr.sun_path) return false;
    std::memcpy(Addr.sun_path, Path.c_str(), Path.size() + 1);
    return true;
}

uint64_t RealMs() {
    struct timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

// Reads one line (without its line end) from Fd, waiting up to TimeoutMs in all.
bool ReadLine(int Fd, std::string& Line, int TimeoutMs) {
    Line.clear();
    const uint64_t end = RealMs() + static_cast<uint64_t>(TimeoutMs);
    for (;;) {
        uint64_t now = RealMs();
        if (now >= end) return false;
        pollfd p{Fd, POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(end - now));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        char c;
        ssize_t n = ::read(Fd, &c, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return !Line.empty();
        if (c == '\n') return true;
        if (Line.size() < 4096) Line += c;
    }
}

void WriteAll(int Fd, const std::string& Text) {
    size_t off = 0;
    while (off < Text.size()) {
        ssize_t n = ::send(Fd, Text.data() + off, Text.size() - off, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        off += static_cast<size_t>(n);
    }
}

}  // namespace

std::string TInstanceLock::RuntimeDir() {
    if (const char* d = std::getenv("RYX_RUNTIME_DIR"); d && *d) return d;
    if (const char* d = std::getenv("XDG_RUNTIME_DIR"); d && *d) return d;
    return "/tmp/ryx-" + std::to_string(::getuid());
}

TInstanceLock::TInstanceLock(const std::string& Name) : FName(Name) {
    std::string dir = RuntimeDir();
    ::mkdir(dir.c_str(), 0700);
    std::string base = dir + "/ryx-instance-" + HashName(Name);
    FLockPath = base + ".lock";
    FSocketPath = base + ".sock";
    FLockFd = ::open(FLockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FLockFd < 0) return;  // no usable folder: behave as the only instance
    if (::flock(FLockFd, LOCK_EX | LOCK_NB) != 0) {
        FAlreadyExisted = errno == EWOULDBLOCK;
        ::close(FLockFd);
        FLockFd = -1;
        return;
    }
    // The lock is ours, so any socket file left behind belongs to a dead holder.
    ::unlink(FSocketPath.c_str());
    sockaddr_un addr;
    if (!MakeAddress(FSocketPath, addr)) return;
    FListenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (FListenFd < 0) return;
    if (::bind(FListenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(FListenFd, 8) != 0) {
        ::close(FListenFd);
        FListenFd = -1;
    }
}

TInstanceLock::~TInstanceLock() {
    if (FListenFd >= 0) {
        ::close(FListenFd);
        ::unlink(FSocketPath.c_str());
    }
    // The lock file stays: removing it could let two later starts lock two
    // different files of the same name.
    if (FLockFd >= 0) ::close(FLockFd);
}

bool TInstanceLock::Send(const std::string& Request, std::string& Answer, int TimeoutMs) const {
    Answer.clear();
    if (!FAlreadyExisted) return false;
    sockaddr_un addr;
    if (!MakeAddress(FSocketPath, addr)) return false;
    const uint64_t end = RealMs() + static_cast<uint64_t>(TimeoutMs);
    int fd = -1;
    // The holder may have taken the lock and not be listening yet: retry a while.
    for (;;) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) break;
        ::close(fd);
        fd = -1;
        if (RealMs() + 20 >= end) return false;
        struct timespec ts{0, 20 * 1000000L};
        ::nanosleep(&ts, nullptr);
    }
    std::string line = Request;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    WriteAll(fd, line + "\n");
    uint64_t now = RealMs();
    bool ok = now < end && ReadLine(fd, Answer, static_cast<int>(end - now));
    ::close(fd);
    if (!ok) Answer.clear();
    return ok;
}

int TInstanceLock::AcceptRequest(std::string& Request) {
    if (FListenFd < 0) return -1;
    for (;;) {
        int client = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) return -1;
        // A client that connected but says nothing within half a second is dropped.
        if (ReadLine(client, Request, 500)) return client;
        ::close(client);
    }
}

void TInstanceLock::Answer(int Client, const std::string& Text) {
    std::string line = Text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    WriteAll(Client, line + "\n");
    ::close(Client);
}

}  // namespace host
