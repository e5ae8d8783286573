// The GTK 3 viewer `kelo`: the command line, the window and its painting from the back buffer, pointer and key
// events, closing and full screen, dropped files, g_timeout timers, the modal error box and the open-file chooser.
// Draws through libgdiplus (platform/linux/shared.h) and reaches the core only through app/shell.h, app/input.h and
// app/playback.h.
#include <gtk/gtk.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/command_line.h"
#include "app/input.h"
#include "app/playback.h"
#include "app/shell.h"
#include "app/viewer.h"
#include "kelo_version.h"
#include "platform/gtk/icon.h"
#include "platform/linux/shared.h"
#include "seam/platform.h"
#include "view/frame_layout.h"

namespace {

GtkWidget* mainWindow = nullptr;  // null once the window is gone
GtkWidget* viewArea = nullptr;  // the client area: a drawing area that fills the window
std::array<guint, timerIdLimit> timerSources{};  // the GLib source of each armed timer, 0 when not armed or resting
std::array<std::int32_t, timerIdLimit> timerPeriods{};  // the period of each armed timer, 0 when not armed
std::bitset<timerIdLimit> restingTimers;  // put at rest by the core: off the system's timers, their period kept
std::bitset<256> heldKeys;  // hardware key codes down now: a press of a held key is the system's repeat
bool fullScreen = false;  // as the window manager last said

struct GFree {
    void operator()(gchar* text) const { g_free(text); }
};
using GText = std::unique_ptr<gchar, GFree>;

// A dialog held by us as well as by GTK: closing the main window destroys its dialogs while they still run.
struct DialogCloser {
    void operator()(GtkWidget* dialog) const
    {
        gtk_widget_destroy(dialog);
        g_object_unref(dialog);
    }
};
using Dialog = std::unique_ptr<GtkWidget, DialogCloser>;

Dialog holdDialog(GtkWidget* dialog)
{
    g_object_ref(dialog);
    return Dialog(dialog);
}

// [SECTION] Leaf helpers

// Kelo's texts are 8-bit, one character a byte; GTK shows UTF-8.
std::string displayText(const std::string& text)
{
    GText utf8(
        g_convert(text.data(), static_cast<gssize>(text.size()), "UTF-8", "ISO-8859-1", nullptr, nullptr, nullptr));
    return utf8 ? std::string(utf8.get()) : std::string{};
}

// A pointer position as the Windows message carries it: the low 16 bits of the pixel, read as signed.
int clientCoordinate(double position)
{
    auto pixel = static_cast<std::int64_t>(std::floor(std::clamp(position, -1e9, 1e9)));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(pixel & 0xFFFF));
}

// The keys Kelo acts on, main keyboard and keypad alike; "=" shares its key with "+" on many layouts.
std::optional<Key> keyOf(guint keyval)
{
    switch (keyval) {
    case GDK_KEY_space:
    case GDK_KEY_KP_Space:
        return Key::space;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
        return Key::left;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
        return Key::right;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
        return Key::home;
    case GDK_KEY_plus:
    case GDK_KEY_equal:
    case GDK_KEY_KP_Add:
        return Key::plus;
    case GDK_KEY_minus:
    case GDK_KEY_KP_Subtract:
        return Key::minus;
    case GDK_KEY_b:
    case GDK_KEY_B:
        return Key::b;
    case GDK_KEY_o:
    case GDK_KEY_O:
        return Key::o;
    case GDK_KEY_bracketleft:
        return Key::bracketLeft;
    case GDK_KEY_bracketright:
        return Key::bracketRight;
    case GDK_KEY_period:
    case GDK_KEY_KP_Decimal:
        return Key::period;
    case GDK_KEY_comma:
        return Key::comma;
    case GDK_KEY_q:
    case GDK_KEY_Q:
        return Key::q;
    case GDK_KEY_w:
    case GDK_KEY_W:
        return Key::w;
    case GDK_KEY_F11:
        return Key::f11;
    case GDK_KEY_Escape:
        return Key::escape;
    case GDK_KEY_z:
    case GDK_KEY_Z:
        return Key::z;
    case GDK_KEY_x:
    case GDK_KEY_X:
        return Key::x;
    case GDK_KEY_f:
    case GDK_KEY_F:
        return Key::f;
    case GDK_KEY_0:
    case GDK_KEY_KP_0:
    case GDK_KEY_KP_Insert:
        return Key::zero;
    case GDK_KEY_Tab:
        return Key::tab;
    case GDK_KEY_slash:
    case GDK_KEY_KP_Divide:
        return Key::slash;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
        return Key::enter;
    case GDK_KEY_BackSpace:
        return Key::backspace;
    case GDK_KEY_l:
    case GDK_KEY_L:
        return Key::l;
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
        return Key::end;
    default:
        return std::nullopt;
    }
}

// Copies the back buffer, the size of the client area, to (0, 0), straight from its pixels: their 32-bit RGB is
// cairo's RGB24 layout, copied, not blended.
void copyBackBuffer(cairo_t* cr)
{
    const GpRect whole = backBufferRect();
    cairo_surface_t* pixels = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(backBufferRows())), CAIRO_FORMAT_RGB24, whole.Width,
        whole.Height, whole.Width * 4);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, pixels, 0, 0);
    cairo_rectangle(cr, 0, 0, whole.Width, whole.Height);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(pixels);
}

// [SECTION] Window signals

gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer)
{
    composeChangedFrame();
    // Until the back buffer follows a new size, what it does not cover is black.
    const GpRect buffer = backBufferRect();
    if (gtk_widget_get_allocated_width(widget) > buffer.Width
        || gtk_widget_get_allocated_height(widget) > buffer.Height) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
    }
    copyBackBuffer(cr);
    return TRUE;
}

// The back buffer follows the client area, and the frame is drawn anew at its new fit.
void onSizeAllocate(GtkWidget* widget, GdkRectangle* allocation, gpointer)
{
    resizeBitmapBackBuffer(allocation->width, allocation->height);
    const GpRect buffer = backBufferRect();
    resizeView(buffer.Width, buffer.Height);
    gtk_widget_queue_draw(widget);
}

gboolean onMotion(GtkWidget*, GdkEventMotion* event, gpointer)
{
    onPointerMove(clientCoordinate(event->x), clientCoordinate(event->y));
    return TRUE;
}

gboolean onButtonPress(GtkWidget*, GdkEventButton* event, gpointer)
{
    // Each click of a double or triple click comes as a press of its own; the extra events are not presses.
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY)
        onPointerPress(clientCoordinate(event->x), clientCoordinate(event->y));
    return TRUE;
}

gboolean onButtonRelease(GtkWidget*, GdkEventButton* event, gpointer)
{
    if (event->button == GDK_BUTTON_PRIMARY)
        onPointerRelease();
    return TRUE;
}

// A notch of the wheel is one scroll up or down; without the smooth-scroll mask, GTK gives a touchpad's scrolling as
// such steps too.
gboolean onScroll(GtkWidget*, GdkEventScroll* event, gpointer)
{
    if (event->direction == GDK_SCROLL_UP || event->direction == GDK_SCROLL_DOWN)
        onWheel(clientCoordinate(event->x), clientCoordinate(event->y), event->direction == GDK_SCROLL_UP ? 1 : -1);
    return TRUE;
}

gboolean onKeyPress(GtkWidget*, GdkEventKey* event, gpointer)
{
    const bool repeat = event->hardware_keycode < heldKeys.size() && heldKeys[event->hardware_keycode];
    if (event->hardware_keycode < heldKeys.size())
        heldKeys[event->hardware_keycode] = true;
    const std::optional<Key> key = keyOf(event->keyval);
    // The character the key types, for the panel's search.
    const char32_t text = gdk_keyval_to_unicode(event->keyval);
    if ((!key && text == 0) || (event->state & GDK_MOD1_MASK) != 0)
        return FALSE;  // the window's own keys go on working
    onKey({key.value_or(Key::typed), (event->state & GDK_SHIFT_MASK) != 0, (event->state & GDK_CONTROL_MASK) != 0,
           repeat, text});
    return TRUE;
}

gboolean onKeyRelease(GtkWidget*, GdkEventKey* event, gpointer)
{
    if (event->hardware_keycode < heldKeys.size())
        heldKeys[event->hardware_keycode] = false;
    return FALSE;
}

// A key let go while another window had the focus (the chooser that "O" opened) sends no release here.
gboolean onFocusOut(GtkWidget*, GdkEventFocus*, gpointer)
{
    heldKeys.reset();
    return FALSE;
}

gboolean onWindowState(GtkWidget*, GdkEventWindowState* event, gpointer)
{
    fullScreen = (event->new_window_state & GDK_WINDOW_STATE_FULLSCREEN) != 0;
    return FALSE;
}

void onRealize(GtkWidget* widget, gpointer)
{
    GdkWindow* window = gtk_widget_get_window(widget);
    // Everything the frame offers but maximising.
    gdk_window_set_functions(
        window, static_cast<GdkWMFunction>(GDK_FUNC_RESIZE | GDK_FUNC_MOVE | GDK_FUNC_MINIMIZE | GDK_FUNC_CLOSE));
    GdkCursor* crossHair = gdk_cursor_new_from_name(gdk_window_get_display(window), "crosshair");
    gdk_window_set_cursor(window, crossHair);
    if (crossHair != nullptr)
        g_object_unref(crossHair);
}

// [SECTION] Opening a log from the command line or a drop

std::string pendingLog;  // a log to open once the main loop runs; empty for none
bool pendingFollow = false;  // and whether to follow it as it is written

// Opened from the main loop, as the "Open" button's press is: a box saying it cannot be opened then runs inside
// the loop that closing the window ends, and a drop is finished before that box keeps the drag source waiting.
gboolean onOpenPending(gpointer)
{
    const std::string path = std::exchange(pendingLog, std::string{});
    openReplayLog(path, std::exchange(pendingFollow, false));
    return G_SOURCE_REMOVE;
}

void openLogSoon(const std::string& path)
{
    if (pendingLog.empty())
        g_idle_add(onOpenPending, nullptr);
    pendingLog = path;
}

// The first of the dropped files; a drop naming no local file (a web address) opens nothing.
void onDragDataReceived(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data, guint, guint, gpointer)
{
    gchar** uris = gtk_selection_data_get_uris(data);
    if (uris != nullptr && uris[0] != nullptr) {
        GText path(g_filename_from_uri(uris[0], nullptr, nullptr));
        if (path)
            openLogSoon(path.get());
    }
    g_strfreev(uris);
}

void onDestroy(GtkWidget*, gpointer)
{
    mainWindow = nullptr;
    viewArea = nullptr;
    gtk_main_quit();
}

// The main window; empty when it was made, else what failed.
std::string createWindow()
{
    if (GdkPixbuf* icon = loadProgramIcon()) {
        gtk_window_set_default_icon(icon);  // the dialogs show it too
        g_object_unref(icon);
    }
    mainWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    if (mainWindow == nullptr)
        return "the window could not be created";
    gtk_window_set_title(GTK_WINDOW(mainWindow), "Kelo");
    gtk_window_set_default_size(GTK_WINDOW(mainWindow), frameWidth, frameHeight);
    g_signal_connect_after(mainWindow, "realize", G_CALLBACK(onRealize), nullptr);
    g_signal_connect(mainWindow, "destroy", G_CALLBACK(onDestroy), nullptr);
    g_signal_connect(mainWindow, "key-press-event", G_CALLBACK(onKeyPress), nullptr);
    g_signal_connect(mainWindow, "key-release-event", G_CALLBACK(onKeyRelease), nullptr);
    g_signal_connect(mainWindow, "focus-out-event", G_CALLBACK(onFocusOut), nullptr);
    g_signal_connect(mainWindow, "window-state-event", G_CALLBACK(onWindowState), nullptr);

    viewArea = gtk_drawing_area_new();
    gtk_widget_add_events(viewArea,
                          GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_SCROLL_MASK);
    g_signal_connect(viewArea, "draw", G_CALLBACK(onDraw), nullptr);
    g_signal_connect(viewArea, "size-allocate", G_CALLBACK(onSizeAllocate), nullptr);
    g_signal_connect(viewArea, "motion-notify-event", G_CALLBACK(onMotion), nullptr);
    g_signal_connect(viewArea, "button-press-event", G_CALLBACK(onButtonPress), nullptr);
    g_signal_connect(viewArea, "button-release-event", G_CALLBACK(onButtonRelease), nullptr);
    g_signal_connect(viewArea, "scroll-event", G_CALLBACK(onScroll), nullptr);
    const GtkTargetEntry fileList{const_cast<gchar*>("text/uri-list"), 0, 0};
    gtk_drag_dest_set(viewArea, GTK_DEST_DEFAULT_ALL, &fileList, 1, GDK_ACTION_COPY);
    g_signal_connect(viewArea, "drag-data-received", G_CALLBACK(onDragDataReceived), nullptr);
    gtk_container_add(GTK_CONTAINER(mainWindow), viewArea);
    gtk_widget_show_all(mainWindow);
    return {};
}

// Runs one of Kelo's dialogs to its answer. GTK drops a close request to a window while another window of its group
// holds the grab, so the dialog gets a group of its own: a close of the main window then reaches it and ends the
// dialog with it (destroyed with its parent). The main window takes no input meanwhile, as if the grab held it.
gint runDialog(GtkWidget* dialog)
{
    GtkWindowGroup* own = gtk_window_group_new();
    gtk_window_group_add_window(own, GTK_WINDOW(dialog));
    g_object_unref(own);
    const bool sensitive = mainWindow != nullptr && gtk_widget_get_sensitive(mainWindow);
    if (mainWindow != nullptr)
        gtk_widget_set_sensitive(mainWindow, FALSE);
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    if (mainWindow != nullptr)
        gtk_widget_set_sensitive(mainWindow, sensitive);
    return response;
}

gboolean onTimerSource(gpointer id)
{
    // The timer may be stopped or re-armed inside; a removed source is not run again whatever this returns.
    onTimer(static_cast<TimerId>(GPOINTER_TO_INT(id)));
    return G_SOURCE_CONTINUE;
}

}  // namespace

// [SECTION] The platform seam

void armTimer(TimerId id, std::int32_t periodMs)
{
    stopTimer(id);
    timerPeriods[id] = std::max(periodMs, 1);
    if (!restingTimers[id])
        timerSources[id] = g_timeout_add(static_cast<guint>(timerPeriods[id]), onTimerSource, GINT_TO_POINTER(id));
}

void stopTimer(TimerId id)
{
    if (timerSources[id] != 0)
        g_source_remove(timerSources[id]);
    timerSources[id] = 0;
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
    return g_get_monotonic_time() / 1000;
}

void showErrorBox(const std::string& text, const std::string& caption)
{
    Dialog box = holdDialog(
        gtk_message_dialog_new(mainWindow != nullptr ? GTK_WINDOW(mainWindow) : nullptr,
                               static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                               GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", displayText(text).c_str()));
    gtk_window_set_title(GTK_WINDOW(box.get()), displayText(caption).c_str());
    runDialog(box.get());
}

std::string runOpenFileDialog()
{
    Dialog chooser = holdDialog(gtk_file_chooser_dialog_new(
        "Open", mainWindow != nullptr ? GTK_WINDOW(mainWindow) : nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr));
    gtk_window_set_modal(GTK_WINDOW(chooser.get()), TRUE);
    gtk_window_set_destroy_with_parent(GTK_WINDOW(chooser.get()), TRUE);
    GtkFileChooser* files = GTK_FILE_CHOOSER(chooser.get());
    GtkFileFilter* all = gtk_file_filter_new();
    gtk_file_filter_set_name(all, "All Files");
    gtk_file_filter_add_pattern(all, "*");
    gtk_file_chooser_add_filter(files, all);
    GText here(g_get_current_dir());
    gtk_file_chooser_set_current_folder(files, here.get());
    // Opening only lets through a file that exists.
    if (runDialog(chooser.get()) != GTK_RESPONSE_ACCEPT)
        return {};
    GText path(gtk_file_chooser_get_filename(files));
    return path ? std::string(path.get()) : std::string{};
}

void requestWindow(WindowRequest request)
{
    if (mainWindow == nullptr)
        return;
    GtkWindow* window = GTK_WINDOW(mainWindow);
    switch (request) {
    case WindowRequest::close:
        // The same request as the window manager's close button: the window goes, and with it the program.
        gtk_window_close(window);
        break;
    case WindowRequest::toggleFullScreen:
        if (fullScreen)
            gtk_window_unfullscreen(window);
        else
            gtk_window_fullscreen(window);
        break;
    case WindowRequest::leaveFullScreen:
        gtk_window_unfullscreen(window);
        break;
    }
}

std::string executableFolder()
{
    return runningProgramFolder();
}

void repaintWindow()
{
    GdkWindow* window = viewArea != nullptr ? gtk_widget_get_window(viewArea) : nullptr;
    if (window == nullptr)
        return;
    gdk_window_invalidate_rect(window, nullptr, FALSE);
    // The paint happens before the tick returns, not at the next frame of the clock.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gdk_window_process_updates(window, FALSE);
    G_GNUC_END_IGNORE_DEPRECATIONS
}

GpDC backBufferDC()
{
    return bitmapBackBufferDC();
}

bool backBufferPixels(std::vector<std::uint32_t>& pixels)
{
    return bitmapBackBufferPixels(pixels);
}

// [SECTION] Program entry

// The command line is read before GTK starts, so --help, --version and usage errors need no display.
int main(int argc, char** argv)
{
    const ViewerCommandLine commandLine = parseViewerCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (commandLine.help) {
        std::cout << viewerUsage("kelo");
        return 0;
    }
    if (commandLine.version) {
        std::cout << "kelo " << keloVersion << '\n';
        return 0;
    }
    if (!commandLine.error.empty()) {
        std::cerr << "kelo: " << commandLine.error << "\n\n" << viewerUsage("kelo");
        return 2;
    }
    for (const std::string& path : commandLine.ignoredPaths)
        std::cerr << "kelo: ignoring extra log: " << path << '\n';

    // The C library keeps the "C" locale: numbers in logs and settings read with a decimal point.
    gtk_disable_setlocale();
    if (!gtk_init_check(nullptr, nullptr)) {
        std::cerr << "kelo: cannot open the display\n";
        return 1;
    }
    // The window's whole state, kept for the window's life.
    Viewer viewer;
    app::makeCurrent(&viewer);
    setTimelineShown(true);
    setPanelToggleShown(true);
    setPicturesDecodedAside(true);
    if (const std::string failure = startShell(createWindow); !failure.empty()) {
        std::cerr << "kelo: " << failure << '\n';
        return 1;
    }
    pendingFollow = commandLine.follow;
    if (!commandLine.logPath.empty())
        openLogSoon(commandLine.logPath);
    gtk_main();

    // Shutting libgdiplus down ends fontconfig, which aborts while the fonts of GTK's dialogs still hold its
    // caches: GTK's font map lets go of them first.
    pango_cairo_font_map_set_default(nullptr);
    stopShell();
    return 0;
}
