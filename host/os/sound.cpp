// The sound service: RIFF WAVE parsing, the one playing sound, SDL audio output and the recording device.
#include "host/os/sound.h"

#include <SDL.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "host/rtl/clock.h"

namespace host {

bool EWaveError::InheritsFrom(const char* ClassName) const noexcept {
    return std::strcmp(ClassName, "EWaveError") == 0 || Exception::InheritsFrom(ClassName);
}

namespace sound {

namespace {

constexpr size_t kMaxWave = size_t(256) << 20;  // larger images are refused, not read

uint16_t U16(const uint8_t* P) { return uint16_t(P[0] | P[1] << 8); }
uint32_t U32(const uint8_t* P) { return uint32_t(P[0]) | uint32_t(P[1]) << 8 | uint32_t(P[2]) << 16 | uint32_t(P[3]) << 24; }

struct TState {
    bool Sdl = false;
    SDL_AudioDeviceID Dev = 0;
    SDL_AudioSpec Spec{};
    std::vector<TPlayed> Log;
    bool Active = false, Loop = false;
    uint32_t Start = 0, Duration = 0;
    std::vector<uint8_t> Out;  // the playing sound in the device's format
    size_t Pos = 0;
};

TState& St() {
    static TState s;
    return s;
}

// Runs on SDL's audio thread: the playing sound, then silence.
void Feed(void*, Uint8* Stream, int Len) {
    TState& s = St();
    size_t want = size_t(Len), done = 0;
    while (done < want && s.Active && !s.Out.empty()) {
        if (s.Pos >= s.Out.size()) {
            if (!s.Loop) break;
            s.Pos = 0;
        }
        size_t n = std::min(want - done, s.Out.size() - s.Pos);
        std::memcpy(Stream + done, s.Out.data() + s.Pos, n);
        s.Pos += n;
        done += n;
    }
    if (done < want) std::memset(Stream + done, s.Spec.silence, want - done);
}

class TAudioLock {
public:
    TAudioLock() {
        if (St().Dev != 0) SDL_LockAudioDevice(St().Dev);
    }
    ~TAudioLock() {
        if (St().Dev != 0) SDL_UnlockAudioDevice(St().Dev);
    }
    TAudioLock(const TAudioLock&) = delete;
    TAudioLock& operator=(const TAudioLock&) = delete;
};

void Stop() {
    TAudioLock lock;
    St().Active = false;
    St().Out.clear();
    St().Pos = 0;
}

// The wave in the device's format (empty when SDL cannot convert it).
std::vector<uint8_t> Convert(const TWave& W) {
    SDL_AudioCVT cvt;
    SDL_AudioFormat from = W.Format.BitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    const SDL_AudioSpec& to = St().Spec;
    if (SDL_BuildAudioCVT(&cvt, from, Uint8(W.Format.Channels), int(W.Format.SamplesPerSec), to.format, to.channels,
                          to.freq) < 0)
        return {};
    std::vector<uint8_t> buf(W.Data.size() * size_t(std::max(1, cvt.len_mult)));
    std::memcpy(buf.data(), W.Data.data(), W.Data.size());
    cvt.buf = buf.data();
    cvt.len = int(W.Data.size());
    if (SDL_ConvertAudio(&cvt) < 0) return {};
    buf.resize(size_t(cvt.len_cvt));
    return buf;
}

void Start(const TWave& W, const std::string& Source, bool Loop, bool Async) {
    Stop();
    TState& s = St();
    TPlayed p;
    p.Source = Source;
    p.Format = W.Format;
    p.Samples = W.Data;  // copied: the caller's bytes may go away at once
    p.Loop = Loop;
    p.Async = Async;
    p.StartTick = GetTickCount();
    std::vector<uint8_t> out = s.Sdl ? Convert(W) : std::vector<uint8_t>();
    {
        TAudioLock lock;
        s.Out = std::move(out);
        s.Pos = 0;
        s.Active = true;
        s.Loop = Loop;
        s.Start = p.StartTick;
        s.Duration = W.DurationMs();
    }
    s.Log.push_back(std::move(p));
}

// A short tone for sounds that cannot be found.
TWave DefaultWave() {
    TWave w;
    w.Format.SamplesPerSec = 11025;
    w.Data.resize(11025 / 8);
    for (size_t i = 0; i < w.Data.size(); ++i)
        w.Data[i] = uint8_t(128 + 60 * std::sin(2 * 3.14159265358979 * 880.0 * double(i) / 11025.0));
    return w;
}

TWave ReadFile(const std::string& Name) {
    std::ifstream f(Name, std::ios::binary);
    if (!f) throw EWaveError("Cannot open the wave file " + Name);
    f.seekg(0, std::ios::end);
    auto size = f.tellg();
    if (size < 0 || size_t(size) > kMaxWave) throw EWaveError("The wave file " + Name + " is too large");
    f.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    f.read(reinterpret_cast<char*>(bytes.data()), size);
    if (!f) throw EWaveError("Cannot read the wave file " + Name);
    return ParseWave(bytes.data(), bytes.size());
}

// A RIFF image in memory: its length comes from its own header.
TWave ReadMemory(const void* Data) {
    auto* p = static_cast<const uint8_t*>(Data);
    if (std::memcmp(p, "RIFF", 4) != 0) throw EWaveError("The sound in memory is not a RIFF image");
    size_t size = size_t(U32(p + 4)) + 8;
    if (size > kMaxWave) throw EWaveError("The sound in memory is too large");
    return ParseWave(p, size);
}

}  // namespace

uint32_t TWave::DurationMs() const {
    uint64_t bytesPerSec = uint64_t(Format.SamplesPerSec) * Format.BlockAlign;
    return bytesPerSec == 0 ? 0 : uint32_t(uint64_t(Data.size()) * 1000 / bytesPerSec);
}

TWave ParseWave(const void* Data, size_t Size) {
    auto* p = static_cast<const uint8_t*>(Data);
    if (p == nullptr || Size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0)
        throw EWaveError("Not a RIFF WAVE image");
    size_t end = std::min(Size, size_t(U32(p + 4)) + 8);
    bool haveFmt = false, haveData = false;
    TWave w;
    for (size_t at = 12; at + 8 <= end;) {
        const uint8_t* c = p + at;
        size_t len = U32(c + 4);
        if (len > end - at - 8) throw EWaveError("The wave chunk '" + std::string(reinterpret_cast<const char*>(c), 4) +
                                                 "' runs past the end of the image");
        if (std::memcmp(c, "fmt ", 4) == 0) {
            if (len < 16) throw EWaveError("The wave format chunk is too short");
            w.Format.FormatTag = U16(c + 8);
            w.Format.Channels = U16(c + 10);
            w.Format.SamplesPerSec = U32(c + 12);
            w.Format.BlockAlign = U16(c + 20);
            w.Format.BitsPerSample = U16(c + 22);
            haveFmt = true;
        } else if (std::memcmp(c, "data", 4) == 0 && !haveData) {
            w.Data.assign(c + 8, c + 8 + len);
            haveData = true;
        }
        at += 8 + len + (len & 1);
    }
    if (!haveFmt) throw EWaveError("The wave image has no format chunk");
    if (!haveData) throw EWaveError("The wave image has no data chunk");
    const TWaveFormat& f = w.Format;
    if (f.FormatTag != 1) throw EWaveError("Only PCM wave data can be played");
    if (f.Channels < 1 || f.Channels > 2) throw EWaveError("Wave data must have one or two channels");
    if (f.BitsPerSample != 8 && f.BitsPerSample != 16) throw EWaveError("Wave samples must have 8 or 16 bits");
    if (f.SamplesPerSec < 1000 || f.SamplesPerSec > 192000) throw EWaveError("The wave sample rate is out of range");
    if (f.BlockAlign != f.Channels * f.BitsPerSample / 8) throw EWaveError("The wave block alignment is wrong");
    w.Data.resize(w.Data.size() - w.Data.size() % f.BlockAlign);
    return w;
}

std::string OutputName() { return St().Sdl ? "sdl" : "recorder"; }

bool UseSdlAudio(std::string& Reason) {
    TState& s = St();
    if (s.Sdl) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        Reason = std::string("SDL audio could not start: ") + SDL_GetError();
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &Feed;
    s.Dev = SDL_OpenAudioDevice(nullptr, 0, &want, &s.Spec, 0);
    if (s.Dev == 0) {
        Reason = std::string("no audio device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    s.Sdl = true;
    SDL_PauseAudioDevice(s.Dev, 0);
    const char* driver = SDL_GetCurrentAudioDriver();
    Reason = std::string("SDL audio through '") + (driver != nullptr ? driver : "?") + "'";
    return true;
}

void UseRecorder() {
    Stop();
    TState& s = St();
    if (s.Dev != 0) {
        SDL_CloseAudioDevice(s.Dev);
        s.Dev = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    s.Sdl = false;
    s.Log.clear();
}

const std::vector<TPlayed>& Played() { return St().Log; }

bool IsPlaying() {
    const TState& s = St();
    if (!s.Active) return false;
    return s.Loop || TickDiff(GetTickCount(), s.Start) < int64_t(s.Duration);
}

void ClearPlayed() { St().Log.clear(); }

}  // namespace sound

BOOL PlaySoundA(const char* Sound, HMODULE, DWORD Flags) {
    if (Sound == nullptr || (Flags & SND_PURGE)) {
        sound::Stop();
        return TRUE;
    }
    if ((Flags & SND_NOSTOP) && sound::IsPlaying()) return FALSE;
    sound::TWave wave;
    std::string source;
    try {
        if (Flags & SND_MEMORY) {
            wave = sound::ReadMemory(Sound);
            source = "<memory>";
        } else if (Flags & SND_ALIAS) {
            throw EWaveError("No sound is registered under the alias " + std::string(Sound));
        } else {
            wave = sound::ReadFile(Sound);
            source = Sound;
        }
    } catch (const EWaveError&) {
        if (Flags & SND_NODEFAULT) return FALSE;
        wave = sound::DefaultWave();
        source = "<default>";
    }
    bool async = (Flags & SND_ASYNC) != 0;
    // A looping sound only ends by the next call, so it never plays synchronously.
    bool loop = async && (Flags & SND_LOOP) != 0;
    sound::Start(wave, source, loop, async);
    if (!async) {
        Sleep(wave.DurationMs());
        sound::Stop();
    }
    return TRUE;
}

BOOL sndPlaySoundA(const char* Sound, UINT Flags) {
    return PlaySoundA(Sound, 0, DWORD(Flags) & (SND_ASYNC | SND_NODEFAULT | SND_MEMORY | SND_LOOP | SND_NOSTOP));
}

}  // namespace host
