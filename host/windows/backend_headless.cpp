// The headless backend: shows nothing and has no outside events; the backend switch.
#include "host/windows/backend.h"

namespace host::windows {

namespace {

class THeadlessBackend : public TBackend {
public:
    const char* Name() const override { return "headless"; }
    void TopLevelShown(HWND, const RECT&) override {}
    void TopLevelHidden(HWND) override {}
    void TopLevelMoved(HWND, const RECT&) override {}
    void TopLevelDestroyed(HWND) override {}
    void Present(HWND, const TRegion&) override {}
    bool WaitEvents(uint32_t) override { return false; }
};

TBackend*& Current() {
    static TBackend* b = nullptr;
    return b;
}

}  // namespace

TBackend& Backend() {
    static THeadlessBackend headless;
    return Current() != nullptr ? *Current() : headless;
}

void SetBackend(TBackend* B) { Current() = B; }

}  // namespace host::windows
