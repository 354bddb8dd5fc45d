// Message dispatch by number: handler tables per class, inherited chaining and the default handler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/rtl/object.h"

namespace {

using namespace host;

struct TTestMessage {
    unsigned Msg;
    std::vector<std::string>* Log;
    long Result = 0;
};

struct TOtherRecord {  // a differently shaped record for the same dispatch
    unsigned Msg;
    int Value;
};

class TDispBase : public TObject {
    HOST_CLASS(TDispBase, TObject)
public:
    std::vector<unsigned> Defaulted;
    void DefaultHandler(void* Message) override { Defaulted.push_back(*static_cast<unsigned*>(Message)); }

protected:
    void MsgA(TTestMessage& M) {
        M.Log->push_back("base.A");
        M.Result += 1;
    }
    void MsgB(TTestMessage& M) {
        M.Log->push_back("base.B");
        Inherited(M);  // no ancestor handles B: goes to DefaultHandler
    }
    HOST_MESSAGES(on(10, &TDispBase::MsgA), on(20, &TDispBase::MsgB))
};

class TDispMiddle : public TDispBase {  // declares no handlers of its own
    HOST_CLASS(TDispMiddle, TDispBase)
};

class TDispLeaf : public TDispMiddle {
    HOST_CLASS(TDispLeaf, TDispMiddle)
public:
    int LastValue = 0;

private:
    void MsgA(TTestMessage& M) {
        M.Log->push_back("leaf.A");
        Inherited(M);  // skips TDispMiddle (none declared) to TDispBase's handler
        M.Result += 10;
    }
    void MsgC(TOtherRecord& M) { LastValue = M.Value; }
    HOST_MESSAGES(on(30, &TDispLeaf::MsgC), on(10, &TDispLeaf::MsgA))
};

TEST(Dispatch, HandlersByNumberWithInheritedChaining) {
    std::vector<std::string> log;
    TDispLeaf leaf;
    TObject* obj = &leaf;

    TTestMessage a{10, &log};
    obj->Dispatch(&a);
    EXPECT_EQ(log, (std::vector<std::string>{"leaf.A", "base.A"}));
    EXPECT_EQ(a.Result, 11);

    log.clear();
    TTestMessage b{20, &log};
    obj->Dispatch(&b);  // found in the grandparent; its Inherited reaches DefaultHandler
    EXPECT_EQ(log, (std::vector<std::string>{"base.B"}));
    EXPECT_EQ(leaf.Defaulted, (std::vector<unsigned>{20}));

    TOtherRecord c{30, 77};
    obj->Dispatch(&c);
    EXPECT_EQ(leaf.LastValue, 77);

    TTestMessage unknown{99, &log};
    obj->Dispatch(&unknown);
    EXPECT_EQ(leaf.Defaulted, (std::vector<unsigned>{20, 99}));
    obj->Dispatch(nullptr);  // nothing to read: ignored

    EXPECT_TRUE(leaf.HandlesMessage(30));
    EXPECT_TRUE(leaf.HandlesMessage(20));
    EXPECT_FALSE(leaf.HandlesMessage(99));

    // The base class alone knows nothing of the leaf's handlers.
    TDispBase base;
    log.clear();
    TTestMessage a2{10, &log};
    base.Dispatch(&a2);
    EXPECT_EQ(log, (std::vector<std::string>{"base.A"}));
    TOtherRecord c2{30, 5};
    base.Dispatch(&c2);
    EXPECT_EQ(base.Defaulted, (std::vector<unsigned>{30}));
    EXPECT_FALSE(base.HandlesMessage(30));

    // A plain TObject has no handlers and a silent default.
    TObject plain;
    plain.Dispatch(&a2);
}

}  // namespace
