// AVI clips written and read back pixel for pixel, broken files refused, and TAnimate playing clips on the host clock.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host/controls/animate.h"
#include "host/controls/treeview.h"
#include "host/os/avi.h"
#include "host/rtl/formtext.h"
#include "host/rtl/resources.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"
#include "support/tempdir.h"
#include "test_controls.h"

namespace ctltest {
namespace {

// A clip of N frames: a square moving over a striped background, with few colours.
TAviClipData MovingSquare(int W, int H, int N) {
    TAviClipData clip;
    clip.Width = W;
    clip.Height = H;
    clip.MicroSecPerFrame = 50000;
    const uint32_t colours[] = {0xFF00FF, 0x102030, 0xF0E0D0, 0x00FF00, 0x808080};
    for (int f = 0; f < N; ++f) {
        std::vector<uint32_t> px(size_t(W) * H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                uint32_t c = y < 2 ? colours[0] : colours[1 + (x / 3) % 2];
                if (x >= f * 2 && x < f * 2 + 5 && y >= 3 && y < 8) c = colours[3];
                if (x == (f * 7) % W && y == H - 1) c = colours[4];  // a lone pixel: literal runs
                px[size_t(y) * W + x] = c;
            }
        clip.Frames.push_back(std::move(px));
    }
    return clip;
}

uint32_t Quantise16(uint32_t C) {
    auto q = [](uint32_t v) { return ((v >> 3) << 3) | (v >> 5); };
    return (q((C >> 16) & 0xFF) << 16) | (q((C >> 8) & 0xFF) << 8) | q(C & 0xFF);
}

TEST(AviTest, WrittenClipsReadBackPixelForPixel) {
    TAviClipData clip = MovingSquare(23, 11, 6);  // an odd width: padded rows
    for (TAviEncoding enc : {TAviEncoding::Rgb8, TAviEncoding::Rgb16, TAviEncoding::Rgb24, TAviEncoding::Rgb32,
                             TAviEncoding::Rle8}) {
        SCOPED_TRACE(static_cast<int>(enc));
        TAviReader r(WriteAvi(clip, enc));
        EXPECT_EQ(r.Width(), 23);
        EXPECT_EQ(r.Height(), 11);
        ASSERT_EQ(r.FrameCount(), 6);
        EXPECT_EQ(r.MicroSecPerFrame(), 50000u);
        EXPECT_EQ(r.Rle8(), enc == TAviEncoding::Rle8);
        // Random access and playing forward give the same pictures.
        std::vector<uint32_t> px;
        int cur = -1;
        for (int f : {0, 1, 2, 3, 4, 5, 2, 5, 0}) {
            std::vector<uint32_t> want = clip.Frames[size_t(f)];
            if (enc == TAviEncoding::Rgb16)
                for (auto& c : want) c = Quantise16(c);
            EXPECT_EQ(r.Frame(f), want) << "frame " << f;
            r.Render(f, px, cur);
            EXPECT_EQ(px, want) << "frame " << f << " played";
            EXPECT_EQ(cur, f);
        }
        EXPECT_THROW(r.Frame(6), ERangeError);
    }
    // RLE8 stores later frames as changes only: much smaller than the first.
    std::string rle = WriteAvi(MovingSquare(200, 100, 4), TAviEncoding::Rle8);
    std::string raw = WriteAvi(MovingSquare(200, 100, 4), TAviEncoding::Rgb8);
    EXPECT_LT(rle.size() * 4, raw.size());
    // Too many colours for 8 bits, and empty or mismatched clips, are refused.
    TAviClipData many;
    many.Width = 20;
    many.Height = 20;
    many.Frames.emplace_back(400);
    for (uint32_t i = 0; i < 400; ++i) many.Frames[0][i] = i * 1000;
    EXPECT_THROW(WriteAvi(many, TAviEncoding::Rle8), EInvalidGraphic);
    EXPECT_NO_THROW(WriteAvi(many, TAviEncoding::Rgb24));
    many.Frames.emplace_back(10);
    EXPECT_THROW(WriteAvi(many, TAviEncoding::Rgb24), EInvalidGraphic);
    many.Frames.clear();
    EXPECT_THROW(WriteAvi(many, TAviEncoding::Rgb24), EInvalidGraphic);
}

// The offset of the first chunk or list type Id in the file.
size_t Find(const std::string& S, const char* Id) { return S.find(std::string(Id, 4)); }
void Put32(std::string& S, size_t At, uint32_t V) {
    for (int i = 0; i < 4; ++i) S[At + i] = static_cast<char>((V >> (8 * i)) & 0xFF);
}

TEST(AviTest, BrokenFilesRaiseNamingTheProblem) {
    const std::string good = WriteAvi(MovingSquare(16, 8, 3), TAviEncoding::Rgb24);
    auto expectError = [](const std::string& Bytes, const std::string& Words) {
        try {
            TAviReader r(Bytes);
            ADD_FAILURE() << "no error, expected: " << Words;
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(e.Message().find(Words), std::string::npos) << e.Message();
        }
    };
    expectError("", "not a RIFF");
    expectError(good.substr(0, 11), "not a RIFF");
    std::string s = good;
    s[8] = 'W';
    expectError(s, "not a RIFF");
    // Truncated anywhere: a chunk runs past the end, or frames go missing.
    for (size_t cut : {size_t(20), size_t(100), good.size() / 2, good.size() - 30}) {
        EXPECT_THROW(TAviReader(good.substr(0, cut)), EInvalidGraphic) << cut;
    }
    s = good;
    Put32(s, Find(s, "strf") + 4, 0x7FFFFFF0);
    expectError(s, "runs past the end");
    s = good;
    Put32(s, Find(s, "strf") + 8 + 4, 0);  // width 0
    expectError(s, "out of range");
    s = good;
    Put32(s, Find(s, "strf") + 8 + 16, 3);  // bit fields
    expectError(s, "compression 3");
    s = good;
    Put32(s, Find(s, "strf") + 8 + 4, 3000);  // 3000 x 8 frames in a tiny file
    expectError(s, "needs");
    s = good;
    Put32(s, Find(s, "strf") + 8 + 4, 30000);
    Put32(s, Find(s, "strf") + 8 + 8, 30000);
    expectError(s, "larger than the file");
    s = good;
    std::memcpy(&s[Find(s, "strf")], "xxxx", 4);
    expectError(s, "no 'strf'");
    s = good;
    std::memcpy(&s[Find(s, "vids")], "auds", 4);
    expectError(s, "no video stream");
    s = good;
    std::memcpy(&s[Find(s, "movi")], "mova", 4);
    expectError(s, "no 'movi'");
    s = good;
    std::memcpy(&s[Find(s, "00db")], "01wb", 4);  // the frames belong to another stream
    for (size_t p = s.find("00db"); p != std::string::npos; p = s.find("00db", p + 1)) s[p + 1] = '1';
    expectError(s, "no frames");
    s = WriteAvi(MovingSquare(16, 8, 3), TAviEncoding::Rgb8);
    Put32(s, Find(s, "strf") + 8 + 32, 300);
    expectError(s, "colour table");
    // Hostile RLE data is clipped to the frame, never written outside it.
    s = WriteAvi(MovingSquare(16, 8, 3), TAviEncoding::Rle8);
    size_t frame = Find(s, "00dc") + 8;
    const char junk[] = {'\xFF', '\x01', '\x00', '\x02', '\xFF', '\xFF', '\x00', '\x09', '\x01'};
    std::memcpy(&s[frame], junk, sizeof junk);
    TAviReader r(s);
    EXPECT_EQ(r.Frame(0).size(), 16u * 8u);
    EXPECT_EQ(r.Frame(2).size(), 16u * 8u);
    EXPECT_THROW(TAviReader::FromFile("/nonexistent/clip.avi"), EFOpenError);
}

class AnimateTest : public ControlsTest {
protected:
    // An animation on a shown, borderless form.
    static TAnimate* ShownAnimate(TForm*& Form) {
        Form = new TForm(nullptr);
        Form->SetBorderStyle(bsNone);
        Form->SetBounds(0, 0, 200, 150);
        auto* anim = Make<TAnimate>(Form, Form, 10, 10, 100, 100, "Anim");
        Form->Show();
        return anim;
    }
};

TEST_F(AnimateTest, PlaysFramesOnTheHostClock) {
    TForm* form = nullptr;
    TAnimate* anim = ShownAnimate(form);
    std::vector<std::string> log;
    anim->OnOpen = [&](TObject*) { log.push_back("open"); };
    anim->OnClose = [&](TObject*) { log.push_back("close"); };
    anim->OnStart = [&](TObject*) { log.push_back("start " + std::to_string(anim->CurrentFrame())); };
    anim->OnStop = [&](TObject*) { log.push_back("stop " + std::to_string(anim->CurrentFrame())); };

    TAviClipData clip = MovingSquare(30, 12, 5);
    testsupport::TTempDir dir;
    std::string file = dir.File("clip.avi");
    WriteAviFile(file, clip, TAviEncoding::Rle8);
    anim->SetFileName(file);
    EXPECT_TRUE(anim->Open());
    EXPECT_EQ(anim->FrameCount(), 5);
    EXPECT_EQ(anim->FrameWidth(), 30);
    EXPECT_EQ(anim->FrameHeight(), 12);
    EXPECT_EQ(anim->Width(), 30);  // AutoSize
    EXPECT_EQ(anim->FrameInterval(), 50u);
    EXPECT_EQ(anim->CurrentFrame(), 1);

    // Frame pixels on screen; the first pixel's colour shows the control's colour.
    HWND wnd = anim->Handle();
    EXPECT_EQ(wintest::ClientPixel(wnd, 5, 5), clip.Frames[0][size_t(5) * 30 + 5]);
    EXPECT_EQ(wintest::ClientPixel(wnd, 0, 0), Rgb(anim->Color()));
    anim->SetTransparent(false);
    EXPECT_EQ(wintest::ClientPixel(wnd, 0, 0), 0xFF00FFu);

    // Two passes over frames 2..4, one frame each 50 ms.
    anim->Play(2, 4, 2);
    EXPECT_TRUE(anim->Active());
    std::vector<int> seen{anim->CurrentFrame()};
    for (int i = 0; i < 6; ++i) {
        Clock::Advance(50);
        seen.push_back(anim->CurrentFrame());
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 2, 3, 4, 4}));
    EXPECT_FALSE(anim->Active());
    EXPECT_EQ(log, (std::vector<std::string>{"open", "start 2", "stop 4"}));
    EXPECT_EQ(wintest::ClientPixel(wnd, 7, 4), clip.Frames[3][size_t(4) * 30 + 7]);

    // Repetitions 0 plays until stopped.
    log.clear();
    anim->SetStartFrame(1);
    anim->SetStopFrame(0);
    anim->SetRepetitions(0);
    anim->SetActive(true);
    Clock::Advance(50 * 23);
    EXPECT_TRUE(anim->Active());
    EXPECT_EQ(anim->CurrentFrame(), 23 % 5 + 1);
    anim->Stop();
    Clock::Advance(500);
    EXPECT_EQ(anim->CurrentFrame(), 4);
    EXPECT_EQ(log, (std::vector<std::string>{"start 1", "stop 4"}));

    anim->Seek(5);
    EXPECT_EQ(anim->CurrentFrame(), 5);
    EXPECT_EQ(wintest::ClientPixel(wnd, 9, 5), clip.Frames[4][size_t(5) * 30 + 9]);
    EXPECT_THROW(anim->Seek(6), ERangeError);
    EXPECT_THROW(anim->Play(3, 9, 1), ERangeError);
    anim->Reset();
    EXPECT_EQ(anim->CurrentFrame(), 1);
    EXPECT_EQ(anim->StopFrame(), 5);

    // A broken file raises and leaves the control closed.
    log.clear();
    std::string bad = dir.File("bad.avi");
    ASSERT_TRUE(WriteFileAtomic(bad, "RIFF\x04\0\0\0AVI junk"));
    EXPECT_THROW(anim->SetFileName(bad), EInvalidGraphic);
    EXPECT_FALSE(anim->Open());
    EXPECT_EQ(log, (std::vector<std::string>{"close"}));
    EXPECT_THROW(anim->SetActive(true), EInvalidOperation);
    delete form;
}

// A resource module holding two clips of type "AVI": "CLIP" and number 7.
class TClipModule : public TResourceModule {
public:
    std::string Clip = WriteAvi(MovingSquare(12, 6, 2), TAviEncoding::Rgb24);
    std::string Seven = WriteAvi(MovingSquare(14, 7, 3), TAviEncoding::Rle8);
    bool Find(const std::string& Type, const std::string& Name, TResourceBlob& Out) const override {
        if (Type != "AVI") return false;
        const std::string* s = Name == "CLIP" ? &Clip : Name == "7" ? &Seven : nullptr;
        if (!s) return false;
        Out.Data = reinterpret_cast<const unsigned char*>(s->data());
        Out.Size = s->size();
        return true;
    }
};

TEST_F(AnimateTest, ClipsFromResources) {
    HMODULE module = RegisterResourceModule(std::make_unique<TClipModule>());
    TForm* form = nullptr;
    TAnimate* anim = ShownAnimate(form);
    anim->SetResHandle(module);
    anim->SetResName("clip");
    EXPECT_EQ(anim->FrameWidth(), 12);
    EXPECT_EQ(anim->FrameCount(), 2);
    anim->SetResID(7);
    EXPECT_EQ(anim->FrameWidth(), 14);
    EXPECT_EQ(anim->FrameCount(), 3);
    EXPECT_TRUE(anim->ResName().empty());
    EXPECT_THROW(anim->SetResName("MISSING"), EResNotFound);
    EXPECT_FALSE(anim->Open());
    UnregisterResourceModule(module);
    delete form;
}

TEST_F(AnimateTest, CommonClipsAndFormFiles) {
    RegisterTreeViewClasses();
    TForm* form = nullptr;
    TAnimate* anim = ShownAnimate(form);
    std::set<std::string> clips;
    for (TCommonAVI which : {aviFindFolder, aviFindFile, aviFindComputer, aviCopyFiles, aviCopyFile, aviRecycleFile,
                             aviEmptyRecycle, aviDeleteFile}) {
        SCOPED_TRACE(static_cast<int>(which));
        anim->SetCommonAVI(which);
        ASSERT_TRUE(anim->Open());
        EXPECT_GE(anim->FrameCount(), 8);
        TAviReader r(CommonAviData(which));
        EXPECT_TRUE(r.Rle8());
        EXPECT_NE(r.Frame(0), r.Frame(r.FrameCount() / 2));  // it moves
        clips.insert(CommonAviData(which));
    }
    EXPECT_EQ(clips.size(), 8u);  // each is its own
    EXPECT_TRUE(CommonAviData(aviNone).empty());
    anim->SetCommonAVI(aviNone);
    EXPECT_FALSE(anim->Open());

    // A clip that plays when the form is read back.
    anim->SetCommonAVI(aviCopyFiles);
    anim->SetRepetitions(3);
    anim->SetCenter(false);
    anim->SetActive(true);
    TStringStream out("");
    out.WriteComponent(form);
    std::string text = ObjectBinaryToTextString(out.DataString());
    EXPECT_NE(text.find("CommonAVI = aviCopyFiles"), std::string::npos) << text;
    EXPECT_NE(text.find("Active = True"), std::string::npos);
    delete form;
    auto* copy = new TForm(nullptr);
    TStringStream in(out.DataString());
    in.ReadComponent(copy);
    auto* a2 = static_cast<TAnimate*>(copy->FindComponent("Anim"));
    ASSERT_NE(a2, nullptr);
    EXPECT_EQ(a2->CommonAVI(), aviCopyFiles);
    EXPECT_EQ(a2->Repetitions(), 3);
    EXPECT_FALSE(a2->Center());
    EXPECT_TRUE(a2->Active());
    Clock::Advance(100);
    EXPECT_EQ(a2->CurrentFrame(), 2);
    delete copy;
}

}  // namespace
}  // namespace ctltest
