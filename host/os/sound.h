// The host's sound service: PlaySound-style calls on RIFF WAVE data, one sound at a time, played through SDL audio or recorded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/gdi/gditypes.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/resources.h"

namespace host {

// PlaySound flags.
inline constexpr DWORD SND_SYNC = 0x0000, SND_ASYNC = 0x0001, SND_NODEFAULT = 0x0002, SND_MEMORY = 0x0004,
                       SND_LOOP = 0x0008, SND_NOSTOP = 0x0010, SND_PURGE = 0x0040, SND_NOWAIT = 0x00002000,
                       SND_ALIAS = 0x00010000, SND_FILENAME = 0x00020000;

// Plays a sound: with SND_MEMORY, Sound points to a whole RIFF WAVE image; otherwise it
// names a wave file (or an alias, played as the default sound). The bytes are copied when
// playback starts, so the caller may free them at once. nullptr stops the playing sound.
// SND_SYNC returns when the sound has played; SND_ASYNC at once; SND_LOOP (with
// SND_ASYNC) repeats until the next call; SND_NOSTOP fails while a sound plays; a sound
// that cannot be found or read gives the default sound unless SND_NODEFAULT. Returns
// FALSE when nothing was played.
BOOL PlaySoundA(const char* Sound, HMODULE Module, DWORD Flags);
BOOL sndPlaySoundA(const char* Sound, UINT Flags);

// A wave file that cannot be understood.
HOST_DECLARE_EXCEPTION(EWaveError, Exception)

namespace sound {

struct TWaveFormat {
    uint16_t FormatTag = 1;  // 1: PCM
    uint16_t Channels = 1;
    uint32_t SamplesPerSec = 0;
    uint16_t BitsPerSample = 8;
    uint16_t BlockAlign = 1;
};

struct TWave {
    TWaveFormat Format;
    std::vector<uint8_t> Data;  // the samples
    // Playing time in milliseconds.
    uint32_t DurationMs() const;
};

// Reads a RIFF WAVE image (PCM, 8 or 16 bits, 1 or 2 channels); raises EWaveError naming
// what is wrong. Chunks are checked against the image's length, never read past it.
TWave ParseWave(const void* Data, size_t Size);

// What the recording device saw start.
struct TPlayed {
    std::string Source;          // file name, or "<memory>", or "<default>"
    TWaveFormat Format;
    std::vector<uint8_t> Samples;  // copied at the start
    bool Loop = false;
    bool Async = false;
    uint32_t StartTick = 0;
};

// The output in use: "sdl" when an audio device opened, else "recorder".
std::string OutputName();
// Tries SDL audio; false (with the reason) leaves the recorder in use.
bool UseSdlAudio(std::string& Reason);
// Back to the recording device (closing SDL audio); clears its log.
void UseRecorder();
// The recording device's log, oldest first, and whether a sound is playing now (host clock).
const std::vector<TPlayed>& Played();
bool IsPlaying();
void ClearPlayed();

}  // namespace sound
}  // namespace host
