// The single-instance guard: a named system-wide lock and a channel through which a later start talks to the instance holding it.
#pragma once

#include <string>
#include <vector>

namespace host {

// A named lock held by at most one object in the whole system (for the user),
// taken with flock on a file of the runtime folder, plus a Unix-domain socket
// beside it on which the holder listens. A later instance meets the lock, finds
// it taken, and can send the holder one-line requests and read its answer.
class TInstanceLock {
public:
    // Tries to take the lock called Name (any text; it is hashed into the file
    // names). Never raises: when the runtime folder cannot be used, the lock
    // counts as taken by this object and no channel exists.
    explicit TInstanceLock(const std::string& Name);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // True when another holder had the lock (this object then holds nothing).
    bool AlreadyExisted() const { return FAlreadyExisted; }
    const std::string& Name() const { return FName; }

    // Later instance: sends Request (one line) to the holder and waits up to
    // TimeoutMs of real time for its one-line answer. Returns false (Answer
    // empty) when nobody listens or answers.
    bool Send(const std::string& Request, std::string& Answer, int TimeoutMs = 2000) const;

    // Holder: the requests that are waiting, without blocking. Each is answered
    // by Responder's result before the next is read.
    template <class F>
    int Serve(F&& Responder) {
        int served = 0;
        std::string request;
        int client;
        while ((client = AcceptRequest(request)) >= 0) {
            Answer(client, Responder(request));
            ++served;
        }
        return served;
    }

    // The folder of the lock and channel files: $XDG_RUNTIME_DIR, else
    // /tmp/ryx-<uid>; $RYX_RUNTIME_DIR overrides both (tests).
    static std::string RuntimeDir();

private:
    int AcceptRequest(std::string& Request);
    void Answer(int Client, const std::string& Text);
    std::string FName;
    std::string FLockPath, FSocketPath;
    int FLockFd = -1;
    int FListenFd = -1;
    bool FAlreadyExisted = false;
};

}  // namespace host
