// The window's components as data: position and size in pixels of a 96
// pixels-per-inch layout, texts in Windows-1252, fonts as records. A front end
// draws them; the form's handlers change them.
#pragma once

#include <cstdint>
#include <string>

#include "app/memo_lines.h"

class TForm1;

#ifndef ANSI_CHARSET  // <windows.h> defines the same value as a macro
constexpr int ANSI_CHARSET = 0;
#endif
constexpr uint32_t clBlack = 0x000000;
constexpr uint32_t clBtnFace = 0xFF00000F;  // the system colour of button faces

// A font. `Height` is in pixels (negative: character height without the
// internal leading); `Size` in points is derived at the layout's 96 pixels
// per inch, rounding as the platform does.
struct TFont {
    int Charset = ANSI_CHARSET;
    uint32_t Color = clBlack;
    int Height = -11;
    std::string Name = "MS Sans Serif";
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;

    static constexpr int PixelsPerInch = 96;
    int Size() const { return RoundedRatio(-Height * 72, PixelsPerInch); }
    void SetSize(int points) { Height = -RoundedRatio(points * PixelsPerInch, 72); }

private:
    static int RoundedRatio(int numerator, int denominator)
    {
        const int half = denominator / 2;
        return numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
    }
};

// A handler of the form, as the events of the resource name them.
using FormHandler = void (TForm1::*)();

struct TControl {
    std::string Name;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Visible = true;
    bool Enabled = true;
    bool ParentFont = false;
    TFont Font;
    FormHandler OnClick = nullptr;
};

struct TLabel : TControl {
    std::string Caption;
};

struct TEdit : TControl {
    std::string Text;
    bool ReadOnly = false;
    int TabOrder = 0;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

struct TMemo : TControl {
    MemoLines Lines;
    bool ReadOnly = false;
    TScrollStyle ScrollBars = TScrollStyle::ssNone;
    int TabOrder = 0;
};

struct TButton : TControl {
    std::string Caption;
    int TabOrder = 0;
};

// The timer is data too: the front end runs the real clock and calls
// OnTimer every Interval milliseconds while the timer is enabled. Each
// enabling counts as a start, from which the next tick is a full Interval
// away, also when the timer was disabled and enabled again within one event.
class TTimer {
public:
    bool Enabled() const { return enabled; }
    void SetEnabled(bool on)
    {
        if (on && !enabled)
            ++starts;
        enabled = on;
    }
    uint32_t Starts() const { return starts; }

    std::string Name;
    int Interval = 1000;
    FormHandler OnTimer = nullptr;

private:
    bool enabled = true;
    uint32_t starts = 0;
};
