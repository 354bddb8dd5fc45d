// Alignment of nested aligned controls in the framework's order, anchors, constraints and deferred alignment.
#include <gtest/gtest.h>

#include <memory>

#include "host/controls/controls.h"

namespace {

using namespace host;

TRect R(int L, int T, int W, int H) { return TRect{L, T, L + W, T + H}; }

TControl* Add(TWinControl* Parent, TAlign A, int L, int T, int W, int H, bool Windowed = false) {
    TControl* c = Windowed ? static_cast<TControl*>(new TWinControl(nullptr)) : new TGraphicControl(nullptr);
    c->SetBounds(L, T, W, H);
    c->SetAlign(A);
    c->SetParent(Parent);
    return c;
}

TEST(Align, FrameworkOrderOverTheShrinkingRectangle) {
    auto host = std::make_unique<TWinControl>(nullptr);
    host->SetBounds(0, 0, 400, 300);
    // Declared in a mixed order: the kinds still go top, bottom, left, right, client.
    TControl* client = Add(host.get(), alClient, 0, 0, 10, 10, true);
    TControl* right = Add(host.get(), alRight, 0, 0, 40, 10);
    TControl* left = Add(host.get(), alLeft, 0, 0, 50, 10);
    TControl* bottom = Add(host.get(), alBottom, 0, 0, 10, 25);
    TControl* top1 = Add(host.get(), alTop, 0, 0, 10, 30);
    TControl* top2 = Add(host.get(), alTop, 0, 200, 10, 20);  // placed lower: comes after top1
    EXPECT_EQ(top1->BoundsRect(), R(0, 0, 400, 30));
    EXPECT_EQ(top2->BoundsRect(), R(0, 30, 400, 20));
    EXPECT_EQ(bottom->BoundsRect(), R(0, 275, 400, 25));
    EXPECT_EQ(left->BoundsRect(), R(0, 50, 50, 225));
    EXPECT_EQ(right->BoundsRect(), R(360, 50, 40, 225));
    EXPECT_EQ(client->BoundsRect(), R(50, 50, 310, 225));

    // Nested: the client area aligns its own children in its own client rectangle.
    auto* inner = static_cast<TWinControl*>(client);
    TControl* innerTop = Add(inner, alTop, 0, 0, 5, 15);
    TControl* innerClient = Add(inner, alClient, 0, 0, 5, 5);
    EXPECT_EQ(innerTop->BoundsRect(), R(0, 0, 310, 15));
    EXPECT_EQ(innerClient->BoundsRect(), R(0, 15, 310, 210));

    // Moving top2 above top1 swaps their order; resizing the host realigns the tree.
    top2->SetTop(-5);
    EXPECT_EQ(top2->BoundsRect(), R(0, 0, 400, 20));
    EXPECT_EQ(top1->BoundsRect(), R(0, 20, 400, 30));
    host->SetBounds(0, 0, 500, 400);
    EXPECT_EQ(client->BoundsRect(), R(50, 50, 410, 325));
    EXPECT_EQ(innerClient->BoundsRect(), R(0, 15, 410, 310));
    EXPECT_EQ(right->BoundsRect(), R(460, 50, 40, 325));

    // A hidden aligned control gives its room back; a border width insets everything.
    left->SetVisible(false);
    EXPECT_EQ(client->BoundsRect(), R(0, 50, 460, 325));
    host->SetBorderWidth(5);
    EXPECT_EQ(top2->BoundsRect(), R(5, 5, 490, 20));
    EXPECT_EQ(client->BoundsRect(), R(5, 55, 450, 315));
}

TEST(Align, ConstraintsDeferralAndAnchors) {
    auto host = std::make_unique<TWinControl>(nullptr);
    host->SetBounds(0, 0, 200, 100);
    TControl* top = Add(host.get(), alTop, 0, 0, 10, 40);
    top->Constraints()->SetMaxHeight(25);
    TControl* client = Add(host.get(), alClient, 0, 0, 10, 10);
    EXPECT_EQ(top->Height(), 25);
    EXPECT_EQ(client->BoundsRect(), R(0, 25, 200, 75));

    // While alignment is disabled, changes wait for the last EnableAlign.
    host->DisableAlign();
    host->DisableAlign();
    top->Constraints()->SetMaxHeight(0);
    top->SetHeight(50);
    EXPECT_EQ(client->Top(), 25);
    host->EnableAlign();
    EXPECT_EQ(client->Top(), 25);
    host->EnableAlign();
    EXPECT_EQ(client->BoundsRect(), R(0, 50, 200, 50));

    // Anchors: right/bottom keep their distance, left+right stretch.
    auto panel = std::make_unique<TWinControl>(nullptr);
    panel->SetBounds(0, 0, 300, 200);
    TControl* corner = Add(panel.get(), alNone, 250, 170, 40, 20);
    corner->SetAnchors({akRight, akBottom});
    TControl* strip = Add(panel.get(), alNone, 10, 10, 280, 20);
    strip->SetAnchors({akLeft, akTop, akRight});
    TControl* plain = Add(panel.get(), alNone, 5, 50, 10, 10);
    panel->SetBounds(0, 0, 400, 260);
    EXPECT_EQ(corner->BoundsRect(), R(350, 230, 40, 20));
    EXPECT_EQ(strip->BoundsRect(), R(10, 10, 380, 20));
    EXPECT_EQ(plain->BoundsRect(), R(5, 50, 10, 10));

    // A control taken out of its parent is no longer aligned there.
    top->SetParent(nullptr);
    EXPECT_EQ(client->BoundsRect(), R(0, 0, 200, 100));
    delete top;
}

}  // namespace
