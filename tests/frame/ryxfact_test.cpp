// The form factories and form base classes: registration rules, replacement dialogs, look-up by class name, the singletons' lifetime and the base classes' fonts.
#include <gtest/gtest.h>

#include <memory>

#include "frame/ryxfact.h"
#include "frame/ryxforms.h"
#include "frame/ryxpackage.h"
#include "host/app/app.h"
#include "host/graphics/graphics.h"
#include "host/rtl/exceptions.h"
#include "host/windows/wintest.h"
#include "navigator/ryxnpfac.h"

using namespace host;
using namespace ryx;

namespace factorytest {
class TryxafSample : public TryxApplicationForm {
    HOST_CLASS(TryxafSample, TryxApplicationForm)
public:
    explicit TryxafSample(TComponent* AOwner) : TryxApplicationForm(AOwner) {}
};
class TMySample : public TryxafSample {
    HOST_CLASS(TMySample, TryxafSample)
public:
    explicit TMySample(TComponent* AOwner) : TryxafSample(AOwner) {}
};
}  // namespace factorytest

// A different class with the same name: the factory treats them as one.
namespace othertest {
class TryxafSample : public ryx::TryxSystemForm {
    HOST_CLASS(TryxafSample, ryx::TryxSystemForm)
public:
    explicit TryxafSample(host::TComponent* AOwner) : ryx::TryxSystemForm(AOwner) {}
};
}  // namespace othertest

namespace {

class FormFactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        wintest::Reset();
        RecreateApplication;
    }
    void TearDown() override {
        ryxFreeFormFactory();
        ryxnpFreeFormFactory();
        RecreateApplication;
        wintest::Reset();
    }
};

TEST_F(FormFactoryTest, ReplacementDialogsAreMadeInsteadOfTheBase) {
    using factorytest::TMySample;
    using factorytest::TryxafSample;
    TryxFormFactory* f = ryxFormFactory();
    EXPECT_EQ(ryxFormFactory(), f);
    EXPECT_EQ(f->CreateFormOfClass(TryxafSample::StaticClass(), nullptr), nullptr);

    f->RegisterBaseFormClass(TryxafSample::StaticClass());
    EXPECT_EQ(GetClass("TryxafSample"), TryxafSample::StaticClass());
    std::unique_ptr<TCustomForm> base(f->CreateFormOfClass(TryxafSample::StaticClass(), Application));
    EXPECT_EQ(base->ClassName(), "TryxafSample");
    EXPECT_EQ(base->Owner(), Application);
    base.reset();

    f->RegisterFormClass(TryxafSample::StaticClass(), TMySample::StaticClass());
    EXPECT_EQ(f->Count(), 1);
    EXPECT_EQ(GetClass("TMySample"), TMySample::StaticClass());
    std::unique_ptr<TCustomForm> mine(f->CreateFormOfClass(TryxafSample::StaticClass(), nullptr));
    EXPECT_EQ(mine->ClassName(), "TMySample");
    // Looked up by name: another class called TryxafSample finds the same entry.
    EXPECT_EQ(f->GetFormClass(othertest::TryxafSample::StaticClass()), TMySample::StaticClass());

    try {
        f->RegisterFormClass(TMySample::StaticClass(), othertest::TryxafSample::StaticClass());
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Form Factory error: TryxafSample does not inherit from TMySample");
    }
    EXPECT_EQ(f->GetFormClass(TryxafSample::StaticClass()), TMySample::StaticClass());

    f->UnRegisterFormClass(TryxafSample::StaticClass());
    f->UnRegisterFormClass(TryxafSample::StaticClass());
    EXPECT_EQ(f->Count(), 0);
    EXPECT_EQ(GetClass("TMySample"), nullptr);
}

TEST_F(FormFactoryTest, SingletonsLiveUntilTheirUnitsFinalise) {
    TryxFormFactory* f = ryxFormFactory();
    TryxnpFormFactory* np = ryxnpFormFactory();
    EXPECT_NE(static_cast<TryxFormFactory*>(np), f);
    np->RegisterBaseFormClass(factorytest::TryxafSample::StaticClass());
    EXPECT_EQ(f->GetFormClass(factorytest::TryxafSample::StaticClass()), nullptr);
    EXPECT_EQ(np->GetAutoFormClass(factorytest::TryxafSample::StaticClass()), factorytest::TryxafSample::StaticClass());
    Initialize();
    Finalize();
    TryxFormFactory* again = ryxFormFactory();
    EXPECT_EQ(again->Count(), 0);
    EXPECT_EQ(ryxnpFormFactory()->Count(), 0);
}

TEST_F(FormFactoryTest, FormBasesSetTheirFonts) {
    TryxSystemForm sys(nullptr);
    EXPECT_EQ(sys.Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(sys.Font()->Size(), 8);
    TryxApplicationForm app(nullptr);
    EXPECT_EQ(app.Font()->Name(), "Arial");
    EXPECT_EQ(app.Font()->Size(), 10);
    EXPECT_TRUE(app.Font()->Style().Empty());
    TryxnpApplicationForm np(nullptr);
    EXPECT_EQ(np.Font()->Name(), "Arial");
    EXPECT_TRUE(np.InheritsFrom(TryxnpForm::StaticClass()));
    EXPECT_EQ(HostEnumCount(static_cast<const TryxPopupFormStyle*>(nullptr)), 4);
    EXPECT_EQ(int(pfsStayOnTop), 3);
}

}  // namespace
