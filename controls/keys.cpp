// The key map. Toggles ignore the repeats of a held key, which would otherwise flip them back and forth.
#include "controls/keys.h"

namespace {

constexpr double shortSeekS = 10;
constexpr double longSeekS = 60;

}  // namespace

KeyCommand keyCommand(const KeyPress& press, bool paused)
{
    if (press.control && press.key != Key::o)
        return {};
    const double seekS = press.shift ? longSeekS : shortSeekS;
    switch (press.key) {
    case Key::space:
        if (press.repeat)
            return {};
        return paused ? buttonPlay : buttonPause;
    case Key::left:
        return SeekBy{-seekS};
    case Key::right:
        return SeekBy{seekS};
    case Key::home:
        return SeekTo{0};
    case Key::plus:
        return buttonFaster;
    case Key::bracketRight:
        return SpeedStep{true};
    case Key::bracketLeft:
        return SpeedStep{false};
    case Key::period:
        return paused ? KeyCommand{LineStep{1}} : KeyCommand{};
    case Key::comma:
        return paused ? KeyCommand{LineStep{-1}} : KeyCommand{};
    case Key::minus:
        return buttonSlower;
    case Key::b:
        if (press.repeat)
            return {};
        return buttonBars;
    case Key::o:
        if (press.repeat)
            return {};
        return buttonOpen;
    }
    return {};
}
