// A drag source for the end-to-end test of dropping logs on kelo: a window "Drag source" whose whole inside can
// be dragged with the first button, offering the URIs given on its command line as text/uri-list.
// Relies on GTK 3 only; it says "drag ended" on standard output when a drag is over.
#include <gtk/gtk.h>

#include <iostream>
#include <vector>

namespace {

std::vector<gchar*> uris;  // the command line's URIs, then a null

void onDragDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint, gpointer)
{
    gtk_selection_data_set_uris(data, uris.data());
}

void onDragEnd(GtkWidget*, GdkDragContext*, gpointer)
{
    std::cout << "drag ended" << std::endl;
}

}  // namespace

int main(int argc, char** argv)
{
    gtk_init(&argc, &argv);
    uris.assign(argv + 1, argv + argc);
    uris.push_back(nullptr);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "Drag source");
    gtk_window_set_default_size(GTK_WINDOW(window), 200, 100);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    GtkWidget* area = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(window), area);
    const GtkTargetEntry fileList{const_cast<gchar*>("text/uri-list"), 0, 0};
    gtk_drag_source_set(area, GDK_BUTTON1_MASK, &fileList, 1, GDK_ACTION_COPY);
    g_signal_connect(area, "drag-data-get", G_CALLBACK(onDragDataGet), nullptr);
    g_signal_connect(area, "drag-end", G_CALLBACK(onDragEnd), nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
