#pragma once
// What the alert manager's picture job and mail sessions need of the program around them:
// the radar windows' pictures, the main window's indicator and caption, message boxes and
// the alert manager window's progress line. The desktop program gives all of it; a headless
// station has no radar windows and no dialogs.

#include <optional>
#include <string>

namespace aerova {

// The upload/mail indicator of the main window.
enum class UploadIndicator { kNormal, kGrey, kYellow, kGreen, kRed };

class AlertManagerHost {
  public:
    virtual ~AlertManagerHost() = default;
    virtual bool HasRadarWindows() const = 0;
    virtual bool RadarVisible(int tag) const = 0;
    // Radar window 2 at the picture size (client area).
    virtual void ResizeRadar2(int width, int height) = 0;
    // The window redrawn and captured as a JPEG of quality 80, with the main cycle paused
    // and the busy cursor shown while it runs; nothing when no picture could be taken.
    virtual std::optional<std::string> CaptureJpeg(int tag) = 0;
    virtual void Message(const std::string& text, const std::string& title) = 0;
    virtual void SetIndicator(UploadIndicator indicator) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetProgress(const std::string& text) = 0;
    virtual void WriteErrorLog(const std::string& text) = 0;
};

}  // namespace aerova
