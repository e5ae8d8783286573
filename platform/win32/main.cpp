// The Windows viewer `Kelo.exe`: WinMain and its command line, the window class and procedure (pointer, keys and
// dropped files), full screen, the GDI back buffer and the platform seam on user32, gdi32, comdlg32, shell32 and
// kernel32. Drawing goes through gdiplus.dll (seam/gdiplus_flat.h); the core is reached through app/shell.h,
// app/input.h and app/playback.h.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/input.h"
#include "app/playback.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "kelo_version.h"
#include "seam/platform.h"
#include "view/frame_layout.h"

namespace {

constexpr DWORD windowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;  // 0x00CE0000
constexpr WORD iconResource = 101;

// Kept for the program's life; the device contexts and the bitmap end with the process.
HWND mainWindow = nullptr;
HDC windowDC = nullptr;
HDC memoryDC = nullptr;
HBITMAP backBuffer = nullptr;
int backBufferWidth = frameWidth;  // the client area's size, which the back buffer follows
int backBufferHeight = frameHeight;
bool fullScreen = false;
WINDOWPLACEMENT placementBefore{};  // where the window was before it filled the screen
int wheelDelta = 0;  // the wheel's turn not yet a whole notch (WHEEL_DELTA)
std::array<std::int32_t, timerIdLimit> timerPeriods{};  // the period of each armed timer, 0 when not armed
std::bitset<timerIdLimit> restingTimers;  // put at rest by the core: off the system's timers, their period kept

// Pointer positions come as signed 16-bit halves of the message's coordinate parameter.
int pointerX(LPARAM position)
{
    return static_cast<std::int16_t>(LOWORD(position));
}

int pointerY(LPARAM position)
{
    return static_cast<std::int16_t>(HIWORD(position));
}

// The arguments after the program name, as the core's 8-bit paths: converted with the ANSI code page, which the
// "A" functions that open the file convert back with.
std::vector<std::string> commandLineArguments()
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        int size = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(std::max(size, 1)), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        arg.pop_back();  // the terminating null
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
    return args;
}

// The first of the dropped files. The drop's memory is handed back before the log is opened: a box saying it
// cannot be opened may stay up a long while.
void openDroppedFile(HDROP drop)
{
    UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    std::string path(length + 1, '\0');
    path.resize(DragQueryFileA(drop, 0, path.data(), length + 1));
    DragFinish(drop);
    openReplayLog(path);
}

// The keys Kelo acts on, main keyboard and keypad alike; VK_OEM_PLUS is the key of "=" and "+" on many layouts.
std::optional<Key> keyOf(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_SPACE:
        return Key::space;
    case VK_LEFT:
        return Key::left;
    case VK_RIGHT:
        return Key::right;
    case VK_HOME:
        return Key::home;
    case VK_ADD:
    case VK_OEM_PLUS:
        return Key::plus;
    case VK_SUBTRACT:
    case VK_OEM_MINUS:
        return Key::minus;
    case 'B':
        return Key::b;
    case 'O':
        return Key::o;
    case VK_OEM_4:
        return Key::bracketLeft;
    case VK_OEM_6:
        return Key::bracketRight;
    case VK_OEM_PERIOD:
    case VK_DECIMAL:
        return Key::period;
    case VK_OEM_COMMA:
        return Key::comma;
    case 'Q':
        return Key::q;
    case 'W':
        return Key::w;
    case VK_F11:
        return Key::f11;
    case VK_ESCAPE:
        return Key::escape;
    case 'Z':
        return Key::z;
    case 'X':
        return Key::x;
    case 'F':
        return Key::f;
    case '0':
    case VK_NUMPAD0:
        return Key::zero;
    case VK_TAB:
        return Key::tab;
    case VK_RETURN:
        return Key::enter;
    case VK_BACK:
        return Key::backspace;
    case 'L':
        return Key::l;
    case VK_END:
        return Key::end;
    default:
        return std::nullopt;
    }
}

// The character the key of a WM_KEYDOWN types with the keyboard's layout and state now (one or two UTF-16 units);
// 0 for none. Asked here rather than from WM_CHAR, whose characters an ANSI window gets in the system's code page.
char32_t typedCharacter(WPARAM virtualKey, LPARAM lParam)
{
    BYTE state[256];
    if (!GetKeyboardState(state))
        return 0;
    WCHAR units[4];
    const int count =
        ToUnicode(static_cast<UINT>(virtualKey), static_cast<UINT>((lParam >> 16) & 0xFF), state, units, 4, 0);
    if (count == 1)
        return units[0];
    if (count == 2 && units[0] >= 0xD800 && units[0] < 0xDC00 && units[1] >= 0xDC00 && units[1] < 0xE000)
        return 0x10000 + ((static_cast<char32_t>(units[0]) - 0xD800) << 10) + (units[1] - 0xDC00);
    return 0;
}

bool keyDown(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

// A black back buffer of the client area's size in the memory context, in place of the one before; a size with no
// pixels (a minimised window) keeps the one there is.
void resizeBackBuffer(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    HBITMAP fresh = CreateCompatibleBitmap(windowDC, width, height);
    if (fresh == nullptr)
        return;
    HGDIOBJ before = SelectObject(memoryDC, fresh);
    PatBlt(memoryDC, 0, 0, width, height, BLACKNESS);
    if (before == backBuffer && backBuffer != nullptr)
        DeleteObject(backBuffer);
    backBuffer = fresh;
    backBufferWidth = width;
    backBufferHeight = height;
    resizeView(width, height);
}

// Full screen: the window loses its frame and caption and covers its monitor; back, it gets them and its place again.
void setFullScreen(bool on)
{
    if (on == fullScreen)
        return;
    const LONG_PTR style = GetWindowLongPtrA(mainWindow, GWL_STYLE);
    if (on) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        placementBefore.length = sizeof placementBefore;
        if (!GetWindowPlacement(mainWindow, &placementBefore)
            || !GetMonitorInfoA(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        SetWindowLongPtrA(mainWindow, GWL_STYLE, style & ~static_cast<LONG_PTR>(windowStyle));
        const RECT& screen = monitor.rcMonitor;
        SetWindowPos(mainWindow, HWND_TOP, screen.left, screen.top, screen.right - screen.left,
                     screen.bottom - screen.top, SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    } else {
        SetWindowLongPtrA(mainWindow, GWL_STYLE, style | static_cast<LONG_PTR>(windowStyle));
        SetWindowPlacement(mainWindow, &placementBefore);
        SetWindowPos(mainWindow, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    }
    fullScreen = on;
}

// The movement, repaint and seek timers; the playback timer has no callback and comes as WM_TIMER.
void CALLBACK onTimerCallback(HWND, UINT, UINT_PTR id, DWORD)
{
    onTimer(static_cast<TimerId>(id));
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // mainWindow is not stored yet: the handle comes with the message.
        windowDC = GetDC(window);
        memoryDC = CreateCompatibleDC(windowDC);
        resizeBackBuffer(frameWidth, frameHeight);
        return 0;
    case WM_SIZE:
        // The frame is drawn anew at the new fit: the class's CS_HREDRAW | CS_VREDRAW repaint the whole window.
        resizeBackBuffer(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC target = BeginPaint(window, &paint);
        composeChangedFrame();
        BitBlt(target, 0, 0, backBufferWidth, backBufferHeight, memoryDC, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_TIMER:
        onTimer(playbackTimer);
        return 0;
    case WM_MOUSEMOVE:
        onPointerMove(pointerX(lParam), pointerY(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        // Held, the button keeps the pointer, as in GTK: a drag along the timeline strip ends where it is let go,
        // even outside the window.
        SetCapture(window);
        onPointerPress(pointerX(lParam), pointerY(lParam));
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        onPointerRelease();
        return 0;
    case WM_MOUSEWHEEL: {
        // The position comes in screen coordinates; a high-resolution wheel turns in parts of a notch.
        POINT at{pointerX(lParam), pointerY(lParam)};
        ScreenToClient(window, &at);
        wheelDelta += GET_WHEEL_DELTA_WPARAM(wParam);
        const int notches = wheelDelta / WHEEL_DELTA;
        wheelDelta -= notches * WHEEL_DELTA;
        if (notches != 0)
            onWheel(at.x, at.y, notches);
        return 0;
    }
    case WM_DROPFILES:
        openDroppedFile(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_KEYDOWN: {
        const std::optional<Key> key = keyOf(wParam);
        const char32_t text = typedCharacter(wParam, lParam);
        if (key || text != 0) {
            // Bit 30: the key was down before this message, which the system's repeat sends. "/" is a key of its
            // own on no layout's virtual keys: it is known by what it types.
            const Key pressed = key ? *key : text == U'/' ? Key::slash : Key::typed;
            onKey({pressed, keyDown(VK_SHIFT), keyDown(VK_CONTROL), (lParam & (LPARAM{1} << 30)) != 0, text});
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

// [SECTION] The platform seam

void armTimer(TimerId id, std::int32_t periodMs)
{
    timerPeriods[id] = std::max(periodMs, 1);
    // Setting a timer that runs replaces its period and restarts it.
    if (!restingTimers[id])
        SetTimer(mainWindow, id, static_cast<UINT>(timerPeriods[id]), id == playbackTimer ? nullptr : onTimerCallback);
}

void stopTimer(TimerId id)
{
    KillTimer(mainWindow, id);
    timerPeriods[id] = 0;
}

void restTimer(TimerId id, bool resting)
{
    if (restingTimers[id] == resting)
        return;
    const std::int32_t period = timerPeriods[id];
    if (resting)
        stopTimer(id);
    restingTimers[id] = resting;
    if (period > 0)
        armTimer(id, period);
}

std::int64_t steadyMs()
{
    // The performance counter, not the tick count, whose 15.6 ms steps would make lines due a step late.
    LARGE_INTEGER count{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart / frequency.QuadPart * 1000 + count.QuadPart % frequency.QuadPart * 1000 / frequency.QuadPart;
}

void showErrorBox(const std::string& text, const std::string& caption)
{
    MessageBoxA(mainWindow, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

void requestWindow(WindowRequest request)
{
    switch (request) {
    case WindowRequest::close:
        // What the close button does: WM_CLOSE destroys the window, and WM_DESTROY ends the program.
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        break;
    case WindowRequest::toggleFullScreen:
        setFullScreen(!fullScreen);
        break;
    case WindowRequest::leaveFullScreen:
        setFullScreen(false);
        break;
    }
}

std::string runOpenFileDialog()
{
    std::array<char, 512> file{};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mainWindow;
    dialog.lpstrFilter = "All Files\0*.*\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = "C:\\";
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    // A failed dialog (a cancel, or a name too long for the buffer) may leave its own bytes there: no path.
    if (!GetOpenFileNameA(&dialog))
        return {};
    file.back() = '\0';
    return file.data();
}

std::string executableFolder()
{
    std::array<char, 260> path{};
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::string folder(path.data(), std::min<std::size_t>(length, path.size() - 1));
    // Cut at the last backslash, looked for from the end down to the second character.
    for (std::size_t i = folder.size(); i-- > 1;) {
        if (folder[i] == '\\')
            return folder.substr(0, i);
    }
    return folder;
}

std::string readProfileString(const std::string& section, const std::string& key, const std::string& fallback,
                              const std::string& path)
{
    std::array<char, 256> value{};
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), value.data(),
                                            static_cast<DWORD>(value.size()), path.c_str());
    return std::string(value.data(), std::min<std::size_t>(length, value.size() - 1));
}

LogFileLook lookAtFile(const std::string& path)
{
    // Opened for no access, sharing everything: a writer keeps writing, and the file may be renamed or deleted.
    const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LogFileLook look;
    if (file == INVALID_HANDLE_VALUE)
        return look;
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(file, &information)) {
        look.exists = true;
        look.device = information.dwVolumeSerialNumber;
        look.identity = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
        look.size =
            static_cast<std::int64_t>((std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow);
    }
    CloseHandle(file);
    return look;
}

void reportProblem(const std::string& text)
{
    OutputDebugStringA((text + "\n").c_str());
}

void repaintWindow()
{
    InvalidateRect(mainWindow, nullptr, FALSE);
    UpdateWindow(mainWindow);
}

GpDC backBufferDC()
{
    return memoryDC;
}

bool backBufferPixels(std::vector<std::uint32_t>& pixels)
{
    pixels.assign(static_cast<std::size_t>(backBufferWidth) * static_cast<std::size_t>(backBufferHeight), 0);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = backBufferWidth;
    info.bmiHeader.biHeight = -backBufferHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (backBuffer == nullptr
        || GetDIBits(memoryDC, backBuffer, 0, static_cast<UINT>(backBufferHeight), pixels.data(), &info, DIB_RGB_COLORS)
               != backBufferHeight) {
        pixels.clear();
        return false;
    }
    return true;
}

// [SECTION] Program entry

namespace {

// The window class and the window, shown; empty when both were made, else what failed.
std::string createWindow(HINSTANCE instance, int showCommand)
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(iconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_CROSS);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "Kelo";
    if (RegisterClassA(&windowClass) == 0)
        return "the window class could not be registered (error " + std::to_string(GetLastError()) + ")";

    // The frame and the caption come around the client area, which holds the whole frame.
    RECT outer{0, 0, frameWidth, frameHeight};
    AdjustWindowRectEx(&outer, windowStyle, FALSE, 0);
    mainWindow = CreateWindowExA(0, "Kelo", "Kelo", windowStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                                 outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr)
        return "the window could not be created (error " + std::to_string(GetLastError()) + ")";
    DragAcceptFiles(mainWindow, TRUE);
    ShowWindow(mainWindow, showCommand);
    return {};
}

}  // namespace

// A program without a console: --help, --version and usage errors are shown in a message box.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    const ViewerCommandLine commandLine = parseViewerCommandLine(commandLineArguments());
    if (commandLine.help || commandLine.version) {
        const std::string text = commandLine.help ? viewerUsage("Kelo.exe") : "Kelo " + std::string(keloVersion);
        MessageBoxA(nullptr, text.c_str(), "Kelo", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (!commandLine.error.empty()) {
        const std::string text = commandLine.error + "\n\n" + viewerUsage("Kelo.exe");
        MessageBoxA(nullptr, text.c_str(), "Kelo", MB_OK | MB_ICONERROR);
        return 2;
    }
    // The window's whole state, kept for the window's life.
    Viewer viewer;
    app::makeCurrent(&viewer);
    setTimelineShown(true);
    setPanelToggleShown(true);
    setPicturesDecodedAside(true);
    const std::string failure = startShell([&] { return createWindow(instance, showCommand); });
    if (!failure.empty()) {
        MessageBoxA(nullptr, ("Kelo cannot start: " + failure).c_str(), "Kelo", MB_OK | MB_ICONERROR);
        return 1;
    }
    // Logs after the first are ignored: without a console there is nowhere to say so but a box.
    if (!commandLine.logPath.empty())
        openReplayLog(commandLine.logPath, commandLine.follow);

    // -1 is an error, not a message: the loop ends on it as on the quit message.
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    stopShell();
    return static_cast<int>(message.wParam);
}
