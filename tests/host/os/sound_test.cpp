// The sound service on the recording device (and SDL's dummy audio): wave checks, one sound at a time, copied bytes, timing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "host/os/sound.h"
#include "host/rtl/clock.h"

namespace {

using namespace host;

void Put16(std::vector<uint8_t>& V, uint16_t X) {
    V.push_back(uint8_t(X));
    V.push_back(uint8_t(X >> 8));
}
void Put32(std::vector<uint8_t>& V, uint32_t X) {
    Put16(V, uint16_t(X));
    Put16(V, uint16_t(X >> 16));
}
void Tag(std::vector<uint8_t>& V, const char* T) {
    for (int i = 0; i < 4; ++i) V.push_back(uint8_t(T[i]));
}

// A PCM wave image: Samples bytes of a ramp at Rate, 8-bit mono unless told otherwise.
std::vector<uint8_t> Wave(uint32_t Samples, uint32_t Rate = 8000, uint16_t Bits = 8, uint16_t Channels = 1,
                          int BlockAlign = -1) {
    std::vector<uint8_t> v;
    v.reserve(64 + Samples);
    Tag(v, "RIFF");
    Put32(v, 0);
    Tag(v, "WAVE");
    Tag(v, "LIST");  // a chunk the reader skips
    Put32(v, 3);
    v.insert(v.end(), {'a', 'b', 'c', 0});
    Tag(v, "fmt ");
    Put32(v, 16);
    Put16(v, 1);
    Put16(v, Channels);
    Put32(v, Rate);
    uint16_t align = BlockAlign >= 0 ? uint16_t(BlockAlign) : uint16_t(Channels * Bits / 8);
    Put32(v, Rate * align);
    Put16(v, align);
    Put16(v, Bits);
    Tag(v, "data");
    Put32(v, Samples);
    for (uint32_t i = 0; i < Samples; ++i) v.push_back(uint8_t(i));
    uint32_t riff = uint32_t(v.size() - 8);
    std::memcpy(v.data() + 4, &riff, 4);
    return v;
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::UseVirtual();
        sound::UseRecorder();
    }
    void TearDown() override {
        PlaySoundA(nullptr, 0, 0);
        sound::UseRecorder();
        Clock::UseReal();
    }
    const char* Mem(const std::vector<uint8_t>& V) { return reinterpret_cast<const char*>(V.data()); }
};

TEST_F(SoundTest, BadWavesAreRefusedWithReasons) {
    auto good = Wave(800);
    EXPECT_EQ(sound::ParseWave(good.data(), good.size()).DurationMs(), 100u);
    auto expectBad = [](std::vector<uint8_t> V, const char* Why) {
        try {
            sound::ParseWave(V.data(), V.size());
            ADD_FAILURE() << "accepted: " << Why;
        } catch (const EWaveError& e) {
            EXPECT_NE(std::string(e.Message()).find(Why), std::string::npos) << e.Message();
        }
    };
    expectBad(std::vector<uint8_t>(good.begin(), good.begin() + 10), "Not a RIFF WAVE");
    expectBad(std::vector<uint8_t>(good.begin(), good.end() - 100), "runs past the end");
    expectBad(Wave(10, 8000, 24), "8 or 16 bits");
    expectBad(Wave(10, 8000, 8, 5), "one or two channels");
    expectBad(Wave(10, 8000, 16, 1, 1), "block alignment");
    expectBad(Wave(10, 50), "sample rate");
    auto noFmt = good;
    noFmt.at(24) = 'x';  // "fmt " becomes an unknown chunk
    expectBad(noFmt, "no format chunk");
    // A chunk length that would wrap the reader around is refused, not followed.
    auto huge = good;
    for (size_t i = 16; i < 20; ++i) huge.at(i) = 0xFF;
    expectBad(huge, "runs past the end");

    // Through the call: nothing plays with SND_NODEFAULT; else the default sound does.
    auto bad = Wave(10, 8000, 24);
    EXPECT_FALSE(PlaySoundA(Mem(bad), 0, SND_MEMORY | SND_ASYNC | SND_NODEFAULT));
    EXPECT_TRUE(sound::Played().empty());
    EXPECT_TRUE(PlaySoundA("/no/such/file.wav", 0, SND_ASYNC));
    ASSERT_EQ(sound::Played().size(), 1u);
    EXPECT_EQ(sound::Played()[0].Source, "<default>");
}

TEST_F(SoundTest, OneSoundAtATimeWithItsBytesCopied) {
    auto a = Wave(8000);  // one second
    ASSERT_TRUE(PlaySoundA(Mem(a), 0, SND_MEMORY | SND_ASYNC));
    std::vector<uint8_t> samples(a.end() - 8000, a.end());
    std::fill(a.begin(), a.end(), 0);  // the caller frees its bytes at once
    ASSERT_EQ(sound::Played().size(), 1u);
    EXPECT_EQ(sound::Played()[0].Samples, samples);
    EXPECT_EQ(sound::Played()[0].Source, "<memory>");
    EXPECT_TRUE(sound::IsPlaying());

    auto b = Wave(4000);
    EXPECT_FALSE(PlaySoundA(Mem(b), 0, SND_MEMORY | SND_ASYNC | SND_NOSTOP));  // the first still plays
    EXPECT_EQ(sound::Played().size(), 1u);
    Clock::Advance(300);
    EXPECT_TRUE(PlaySoundA(Mem(b), 0, SND_MEMORY | SND_ASYNC));  // replaces the first
    EXPECT_EQ(sound::Played().size(), 2u);
    Clock::Advance(499);
    EXPECT_TRUE(sound::IsPlaying());
    Clock::Advance(2);
    EXPECT_FALSE(sound::IsPlaying());  // the second's half second is over

    // A synchronous sound returns when it has played; a loop plays until stopped.
    uint32_t t0 = GetTickCount();
    EXPECT_TRUE(PlaySoundA(Mem(b), 0, SND_MEMORY | SND_SYNC));
    EXPECT_EQ(TickDiff(GetTickCount(), t0), 500);
    EXPECT_FALSE(sound::IsPlaying());
    EXPECT_TRUE(PlaySoundA(Mem(b), 0, SND_MEMORY | SND_ASYNC | SND_LOOP));
    Clock::Advance(10000);
    EXPECT_TRUE(sound::IsPlaying());
    EXPECT_TRUE(sound::Played().back().Loop);
    EXPECT_TRUE(PlaySoundA(nullptr, 0, 0));
    EXPECT_FALSE(sound::IsPlaying());
}

TEST_F(SoundTest, FilesAndSdlOutput) {
    auto path = std::filesystem::temp_directory_path() / "ryx_sound_test.wav";
    auto w = Wave(1600, 16000, 16, 1);
    std::ofstream(path, std::ios::binary).write(Mem(w), std::streamsize(w.size()));
    EXPECT_TRUE(sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NODEFAULT));
    ASSERT_EQ(sound::Played().size(), 1u);
    EXPECT_EQ(sound::Played()[0].Format.BitsPerSample, 16);
    EXPECT_EQ(sound::Played()[0].Samples.size(), 1600u);

    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string why;
    ASSERT_TRUE(sound::UseSdlAudio(why)) << why;
    EXPECT_EQ(sound::OutputName(), "sdl");
    EXPECT_TRUE(PlaySoundA(path.c_str(), 0, SND_ASYNC | SND_FILENAME));
    EXPECT_TRUE(sound::IsPlaying());
    sound::UseRecorder();
    EXPECT_EQ(sound::OutputName(), "recorder");
    ::unsetenv("SDL_AUDIODRIVER");
    std::filesystem::remove(path);
}

}  // namespace
