// A headless host per test, a form with a custom control that logs what reaches it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/hosts/headless/Headless.h"

namespace kvb::test {

inline std::string ShiftText(TShiftState s) {
    static const char* const names[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
    std::string out = "[";
    for (int i = 0; i <= ssDouble; ++i)
        if (s.Contains(static_cast<TShiftStateItem>(i))) {
            if (out.size() > 1) out += ",";
            out += names[i];
        }
    return out + "]";
}

inline const char* ButtonText(TMouseButton b) { return b == mbLeft ? "L" : b == mbRight ? "R" : "M"; }

// Draws a filled rectangle and logs every framework notification it gets.
class TProbe : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<std::string> Log;
    int CreateWndCount = 0;
    int PaintCount = 0;
    TColor Fill = clRed;
    TRect Box = Rect(2, 3, 6, 5);

protected:
    void CreateWnd() override {
        TCustomControl::CreateWnd();
        ++CreateWndCount;
    }
    void Paint() override {
        ++PaintCount;
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(ClientRect());
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(Box);
    }
    void MouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) override {
        Log.push_back(std::string("down ") + ButtonText(b) + " " + ShiftText(s) + " " + std::to_string(x) + "," + std::to_string(y));
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) override {
        Log.push_back(std::string("up ") + ButtonText(b) + " " + ShiftText(s) + " " + std::to_string(x) + "," + std::to_string(y));
        TCustomControl::MouseUp(b, s, x, y);
    }
    void MouseMove(TShiftState s, Integer x, Integer y) override {
        Log.push_back("move " + ShiftText(s) + " " + std::to_string(x) + "," + std::to_string(y));
        TCustomControl::MouseMove(s, x, y);
    }
    void DblClick() override {
        Log.push_back("dblclick");
        TCustomControl::DblClick();
    }
    void Click() override {
        Log.push_back("click");
        TCustomControl::Click();
    }
    void MouseEnter() override {
        Log.push_back("enter");
        TCustomControl::MouseEnter();
    }
    void MouseLeave() override {
        Log.push_back("leave");
        TCustomControl::MouseLeave();
    }
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<THeadlessHost>();
        form = new TForm(Application());
        form->SetBounds(0, 0, 200, 100);
        probe = new TProbe(form);
        probe->SetParent(form);
        probe->SetBounds(10, 20, 40, 30);
    }
    void TearDown() override { host.reset(); }
    void ShowForm() {
        form->Show();
        Application()->ProcessMessages();
    }

    std::unique_ptr<THeadlessHost> host;
    TForm* form = nullptr;
    TProbe* probe = nullptr;
};

}  // namespace kvb::test
