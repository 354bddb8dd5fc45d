// Message dispatch through a window procedure subclassed twice by object instances, against a plain virtual call.
#include <cstdint>

#include "bench.h"
#include "host/windows/windows.h"
#include "host/windows/wintest.h"

namespace {

using namespace host;

constexpr int kMessages = 200000;

// A subclassing object: counts the message and passes it on, as a control's window procedure does.
class THook : public TObject {
    HOST_CLASS(THook, TObject)
public:
    HWND Wnd = nullptr;
    WNDPROC Old = nullptr;
    WNDPROC Inst = nullptr;
    uint64_t Count = 0;
    void Install(HWND H) {
        Wnd = H;
        Inst = MakeObjectInstance(TWndMethod(this, &THook::WndProc));
        Old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(H, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Inst)));
    }
    void WndProc(TMessage& M) {
        Count += M.WParam;
        M.Result = CallWindowProcA(Old, Wnd, M.Msg, M.WParam, M.LParam);
    }
};

uint64_t gBaseCount = 0;

LRESULT BaseProc(HWND H, UINT M, WPARAM W, LPARAM L) {
    if (M == WM_USER) {
        gBaseCount += W;
        return LRESULT(W);
    }
    return DefWindowProcA(H, M, W, L);
}

// The baseline: the same work through two virtual calls and a plain function.
struct THandler {
    virtual ~THandler() = default;
    virtual LRESULT Handle(UINT M, WPARAM W, LPARAM L) = 0;
};
struct TLeaf : THandler {
    LRESULT Handle(UINT, WPARAM W, LPARAM) override {
        gBaseCount += W;
        return LRESULT(W);
    }
};
struct TLink : THandler {
    THandler* Next = nullptr;
    uint64_t Count = 0;
    LRESULT Handle(UINT M, WPARAM W, LPARAM L) override {
        Count += W;
        return Next->Handle(M, W, L);
    }
};

RYX_BENCH("win.dispatch_subclassed", c) {
    wintest::Reset();
    WNDCLASSA wc;
    wc.lpfnWndProc = &BaseProc;
    wc.lpszClassName = "BenchWnd";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "BenchWnd", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, 0, nullptr);
    THook a, b;
    a.Install(w);
    b.Install(w);
    TLeaf leaf;
    TLink l1, l2;
    l1.Next = &leaf;
    l2.Next = &l1;
    THandler* volatile top = &l2;
    c.Compare(
        [&] {
            for (int i = 0; i < kMessages; ++i) bench::DoNotOptimize(SendMessageA(w, WM_USER, 1, 0));
        },
        [&] {
            for (int i = 0; i < kMessages; ++i) bench::DoNotOptimize(top->Handle(WM_USER, 1, 0));
        });
    DestroyWindow(w);
    FreeObjectInstance(b.Inst);
    FreeObjectInstance(a.Inst);
    wintest::Reset();
}

}  // namespace
