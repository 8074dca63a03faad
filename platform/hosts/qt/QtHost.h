// The Qt 6 host: a native window per form with its menu bar, custom controls presenting their
// surfaces, native scroll bars, labels and message boxes, and QApplication's loop as the
// application's. No Qt type appears here; everything Qt lives in the sources.
//
// Device pixel ratio: surfaces keep the framework's pixel grid (one surface pixel per logical
// pixel, as the canvas rules and the stored layouts are written in pixels). On a screen with
// a ratio of 2 Qt draws each surface pixel as a 2 x 2 block without smoothing, so lines and
// text stay crisp instead of blurred; native widgets render at full resolution.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/controls/Controls.h"

namespace kvb {

class TQtHost : public THost {
public:
    // Makes the QApplication and installs the host. Check DisplayAvailable first: Qt aborts
    // the process when it cannot reach a display.
    TQtHost(int& argc, char** argv);
    // Frees the forms the application owns while Qt still exists, then uninstalls.
    ~TQtHost() override;
    TQtHost(const TQtHost&) = delete;
    TQtHost& operator=(const TQtHost&) = delete;

    std::unique_ptr<TControlPeer> CreatePeer(TControl* control) override;
    void Run() override;
    void Quit() override;
    void ProcessMessages() override;
    Integer MessageBox(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    // Queued: a modal box must not open inside a paint or an input handler of Qt's.
    void ShowException(const std::string& text) override;
    void ScreenCursorChanged(TCursor cursor) override;

    // Renders a shown form's window (menu bar included) into a PNG file; answers false and
    // says why on stderr when it cannot.
    bool SaveScreenshot(TForm* form, const std::string& fileName);
    // Asks every custom control's window to show its surface again (without a Paint), so that
    // drawing done outside Paint reaches the screen. The host does this after every event.
    void PresentAll();
    // Called once after a custom control's window was first presented (start-up timing).
    void SetOnFirstPresent(std::function<void()> handler);
    double DevicePixelRatio() const;

    struct TImpl;

private:
    std::unique_ptr<TImpl> impl_;
};

// Removes "--screenshot FILE" from the arguments and answers FILE ("" when absent). A
// "--screenshot" without a file name answers "-" (which RunQtApplication reports).
std::string TakeScreenshotArgument(int& argc, char** argv);
// Whether Qt can open windows: a display (DISPLAY or WAYLAND_DISPLAY) or a platform that
// needs none (QT_QPA_PLATFORM offscreen or minimal). Otherwise says so on stderr.
bool DisplayAvailable(const char* program);
// The whole start of a program: takes --screenshot FILE (and then renders off screen),
// checks the display, makes the host, runs createForms (which makes the main form), then
// either writes the screenshot of the main form or runs the loop. Answers the exit code:
// 0 on success, 1 when something failed, 2 without a display.
int RunQtApplication(int& argc, char** argv, const std::function<void()>& createForms);

}  // namespace kvb
