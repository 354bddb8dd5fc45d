// TAnimate: a control that plays a silent AVI clip (a file, a resource or one of the common clips) on the host clock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/controls.h"

namespace host {

class TAviReader;

HOST_ENUM(TCommonAVI, aviNone, aviFindFolder, aviFindFile, aviFindComputer, aviCopyFiles, aviCopyFile,
          aviRecycleFile, aviEmptyRecycle, aviDeleteFile);

// The bytes of a common clip (an AVI file image made on first use and kept); empty
// for aviNone.
const std::string& CommonAviData(TCommonAVI Which);

class TAnimate : public TCustomControl {
    HOST_CLASS(TAnimate, TCustomControl)
public:
    explicit TAnimate(TComponent* AOwner);
    ~TAnimate() override;

    // The clip's source: setting one clears the others and opens the clip at once
    // (a clip that cannot be read raises EInvalidGraphic / EFOpenError / EResNotFound
    // and leaves the control closed).
    std::string FileName() const { return FFileName; }
    void SetFileName(const std::string& Value);
    // A resource of type "AVI" in ResHandle (0: the library's own module), by name or number.
    std::string ResName() const { return FResName; }
    void SetResName(const std::string& Value);
    int ResID() const { return FResId; }
    void SetResID(int Value);
    uintptr_t ResHandle() const { return FResHandle; }
    void SetResHandle(uintptr_t Value);
    TCommonAVI CommonAVI() const { return FCommonAVI; }
    void SetCommonAVI(TCommonAVI Value);

    // True while the clip plays. Setting it plays StartFrame..StopFrame Repetitions
    // times (0: until stopped).
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    bool Open() const { return FReader != nullptr; }
    void SetOpen(bool Value);
    int Repetitions() const { return FRepetitions; }
    void SetRepetitions(int Value);
    // 1-based; StopFrame 0 means the last frame.
    int StartFrame() const { return FStartFrame; }
    void SetStartFrame(int Value);
    int StopFrame() const { return FStopFrame; }
    void SetStopFrame(int Value);
    int FrameCount() const;
    int FrameHeight() const;
    int FrameWidth() const;
    // The frame shown now (1-based; 0 when closed).
    int CurrentFrame() const { return FFrame; }
    // Milliseconds between frames (from the clip).
    uint32_t FrameInterval() const;
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    // The clip's first pixel colour shows the control's colour instead.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    void SetAutoSize(bool Value) override;

    // Plays frames FromFrame..ToFrame (1-based) Count times (0: forever).
    void Play(int FromFrame, int ToFrame, int Count);
    void Stop();
    // Stops and shows Frame (1-based).
    void Seek(int Frame);
    // Stops and shows the first frame of the whole clip.
    void Reset();

    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;
    TNotifyEvent OnStart;
    TNotifyEvent OnStop;

protected:
    void Paint() override;
    void Loaded() override;

private:
    class TTicker;
    friend class TTicker;
    std::string FFileName, FResName;
    int FResId = 0;
    uintptr_t FResHandle = 0;
    TCommonAVI FCommonAVI = aviNone;
    bool FActive = false, FStreamedActive = false;
    int FRepetitions = 0, FStartFrame = 1, FStopFrame = 0;
    bool FCenter = true, FTransparent = true;
    std::unique_ptr<TAviReader> FReader;
    std::vector<uint32_t> FPixels;
    int FDecoded = -1;  // the frame (0-based) FPixels holds
    int FFrame = 0;     // the frame shown (1-based)
    int FRepeatsDone = 0;
    uint64_t FNextDue = 0;
    std::unique_ptr<TTicker> FTicker;

    void OpenClip();
    void CloseClip();
    void ClearSources();
    void ShowFrame(int Frame);
    void Tick(uint64_t Now);
    int LastFrame() const;
    void DoStop();
    bool GetActiveForStream() const { return FActive || FStreamedActive; }

    HOST_PUBLISHED(prop("Active", &TAnimate::GetActiveForStream, &TAnimate::SetActive).def(false),
                   prop("AutoSize", &TAnimate::AutoSize, &TAnimate::SetAutoSize).def(true),
                   prop("Center", &TAnimate::Center, &TAnimate::SetCenter).def(true),
                   prop("CommonAVI", &TAnimate::CommonAVI, &TAnimate::SetCommonAVI).def(aviNone),
                   prop("FileName", &TAnimate::FileName, &TAnimate::SetFileName).def(std::string()),
                   prop("ResName", &TAnimate::ResName, &TAnimate::SetResName).def(std::string()),
                   prop("ResID", &TAnimate::ResID, &TAnimate::SetResID).def(0),
                   prop("Repetitions", &TAnimate::Repetitions, &TAnimate::SetRepetitions).def(0),
                   prop("StartFrame", &TAnimate::StartFrame, &TAnimate::SetStartFrame).def(1),
                   prop("StopFrame", &TAnimate::StopFrame, &TAnimate::SetStopFrame).def(0),
                   prop("Transparent", &TAnimate::Transparent, &TAnimate::SetTransparent).def(true),
                   prop("OnOpen", &TAnimate::OnOpen, &TAnimate::OnOpen),
                   prop("OnClose", &TAnimate::OnClose, &TAnimate::OnClose),
                   prop("OnStart", &TAnimate::OnStart, &TAnimate::OnStart),
                   prop("OnStop", &TAnimate::OnStop, &TAnimate::OnStop))
};

}  // namespace host
