// Sanitizer settings compiled into the sanitizer builds of the Linux executables.
// Only leaks from libraries of the system are suppressed; Kelo's own code is never excused.
extern "C" const char* __lsan_default_suppressions()
{
    return
        // libgdiplus keeps its font and image caches and the generic font families until the process ends.
        "leak:libgdiplus.so\n"
        // libgdiplus's JPEG decoder leaves libjpeg's memory pools behind when libjpeg gives up on a broken file. The
        // fast unwinder stops inside libjpeg (built without frame pointers), so the libgdiplus frame is not seen.
        "leak:libjpeg.so\n"
        // fontconfig, cairo and pango, which libgdiplus and GTK draw text with, keep their configuration caches.
        "leak:libfontconfig.so\n"
        "leak:libcairo.so\n"
        "leak:libpango\n"
        // GTK, GDK and GLib keep type registrations and theme data for the life of the process.
        "leak:libgtk-3.so\n"
        "leak:libgdk-3.so\n"
        "leak:libglib-2.0.so\n"
        "leak:libgobject-2.0.so\n"
        // D-Bus, which GTK's accessibility bridge opens, keeps its connection buffers.
        "leak:libdbus-1.so\n";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
