// The key map: one switch for the plain keys, one for those taken with Control, and the rule for a held key.
// A new key is one case in a switch, and one in `repeats` when holding it should go on acting.
#include "controls/keys.h"

namespace {

constexpr double shortSeekS = 10;
constexpr double longSeekS = 60;

KeyCommand plainCommand(const KeyPress& press, bool paused)
{
    const double seekS = press.shift ? longSeekS : shortSeekS;
    switch (press.key) {
    case Key::space:
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
        return buttonBars;
    case Key::o:
        return buttonOpen;
    case Key::f11:
        return WindowRequest::toggleFullScreen;
    case Key::escape:
        return WindowRequest::leaveFullScreen;
    case Key::z:
        return CameraKey::zoomIn;
    case Key::x:
        return CameraKey::zoomOut;
    case Key::f:
        return CameraKey::follow;
    case Key::zero:
        return CameraKey::rest;
    case Key::l:
        return LiveCommand::toggleFollowing;
    case Key::end:
        return LiveCommand::toLiveEdge;
    case Key::q:
    case Key::w:
    case Key::tab:  // the side panel's keys (controls/panel_input.h)
    case Key::slash:
    case Key::enter:
    case Key::backspace:
    case Key::typed:
        break;
    }
    return {};
}

KeyCommand controlCommand(Key key)
{
    switch (key) {
    case Key::o:
        return buttonOpen;
    case Key::q:
    case Key::w:
        return WindowRequest::close;
    default:
        return {};
    }
}

// Commands that go by steps; a toggle repeated would flip back and forth, and a dialog or a close needs one press.
bool repeats(const KeyCommand& command)
{
    if (const auto* button = std::get_if<ButtonIndex>(&command))
        return *button == buttonFaster || *button == buttonSlower;
    if (const auto* camera = std::get_if<CameraKey>(&command))
        return *camera == CameraKey::zoomIn || *camera == CameraKey::zoomOut;
    return std::holds_alternative<SeekBy>(command) || std::holds_alternative<SeekTo>(command)
        || std::holds_alternative<SpeedStep>(command) || std::holds_alternative<LineStep>(command);
}

}  // namespace

KeyCommand keyCommand(const KeyPress& press, bool paused)
{
    KeyCommand command = press.control ? controlCommand(press.key) : plainCommand(press, paused);
    if (press.repeat && !repeats(command))
        return {};
    return command;
}
