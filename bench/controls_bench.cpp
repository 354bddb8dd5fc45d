// Benchmarks of the control layer: aligning 1,000 nested controls against the same rectangles computed in a plain loop.
#include <memory>
#include <stdexcept>
#include <vector>

#include "bench.h"
#include "host/controls/controls.h"

namespace {

using namespace host;

// Ten windowed panels (top, bottom, left, right and client aligned), each with 99
// graphic children: a third aligned top, a third left and the rest client.
constexpr int kPanels = 10, kChildren = 99;
constexpr TAlign kPanelAlign[kPanels] = {alTop, alTop, alBottom, alLeft, alLeft, alRight, alRight, alBottom, alTop, alClient};

struct TTree {
    std::unique_ptr<TWinControl> Root = std::make_unique<TWinControl>(nullptr);
    TTree() {
        Root->SetBounds(0, 0, 1600, 1200);
        Root->DisableAlign();
        for (int p = 0; p < kPanels; ++p) {
            auto* panel = new TWinControl(nullptr);
            panel->SetBounds(0, p * 10, 120, 100);
            panel->SetAlign(kPanelAlign[p]);
            panel->SetParent(Root.get());
            panel->DisableAlign();
            for (int i = 0; i < kChildren; ++i) {
                auto* c = new TGraphicControl(nullptr);
                c->SetBounds(i, i, 1, 1);
                c->SetAlign(i % 3 == 0 ? alTop : i % 3 == 1 ? alLeft : alClient);
                c->SetParent(panel);
            }
            panel->EnableAlign();
        }
        Root->EnableAlign();
    }
};

// The baseline: the same alignment over plain records, in the order the controls hold.
struct TBox {
    TAlign Align;
    int L, T, W, H;
    std::vector<TBox> Kids;
};

void AlignPlain(std::vector<TBox>& Kids, RECT R) {
    for (TAlign a : {alTop, alBottom, alLeft, alRight}) {
        for (TBox& k : Kids) {
            if (k.Align != a) continue;
            switch (a) {
                case alTop: k.L = R.left; k.T = R.top; k.W = R.right - R.left; R.top += k.H; break;
                case alBottom: k.L = R.left; k.W = R.right - R.left; R.bottom -= k.H; k.T = R.bottom; break;
                case alLeft: k.L = R.left; k.T = R.top; k.H = R.bottom - R.top; R.left += k.W; break;
                default: k.T = R.top; k.H = R.bottom - R.top; R.right -= k.W; k.L = R.right; break;
            }
        }
    }
    for (TBox& k : Kids) {
        if (k.Align != alClient) continue;
        k.L = R.left;
        k.T = R.top;
        k.W = R.right - R.left;
        k.H = R.bottom - R.top;
    }
    for (TBox& k : Kids)
        if (!k.Kids.empty()) AlignPlain(k.Kids, RECT{0, 0, k.W, k.H});
}

RYX_BENCH("ctl.align_1000", c) {
    TTree tree;
    std::vector<TBox> boxes;
    for (int p = 0; p < kPanels; ++p) {
        TBox panel{kPanelAlign[p], 0, p * 10, 120, 100, {}};
        for (int i = 0; i < kChildren; ++i)
            panel.Kids.push_back(TBox{i % 3 == 0 ? alTop : i % 3 == 1 ? alLeft : alClient, i, i, 1, 1, {}});
        boxes.push_back(std::move(panel));
    }
    // The tree really realigns: its client panel follows the root's size.
    tree.Root->SetBounds(0, 0, 1700, 1300);
    if (tree.Root->Controls(kPanels - 1)->Width() <= 0) throw std::runtime_error("alignment did not run");
    int flip = 0, baseFlip = 0;  // each side alternates its own size
    c.Compare(
        [&] {
            // A resize of the root realigns the whole tree.
            flip ^= 1;
            tree.Root->SetBounds(0, 0, 1600 + flip * 40, 1200 + flip * 30);
            bench::DoNotOptimize(tree.Root->Controls(0)->Width());
        },
        [&] {
            baseFlip ^= 1;
            AlignPlain(boxes, RECT{0, 0, 1600 + baseFlip * 40, 1200 + baseFlip * 30});
            bench::DoNotOptimize(boxes[0].W);
        });
}

}  // namespace
