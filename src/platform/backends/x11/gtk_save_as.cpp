#include "gtk_save_as.h"

#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <memory>

#include "platform/system/default_context.h"

namespace {

struct WidgetDestroy {
    void operator()(GtkWidget* widget) const {
        gtk_widget_destroy(widget);
        // The chooser leaves the screen before the caller goes on.
        while (gtk_events_pending())
            gtk_main_iteration();
    }
};

Display* g_ownDisplay = nullptr;
XErrorHandler g_ownHandler = nullptr;
XErrorHandler g_gdkHandler = nullptr;

int RouteXError(Display* display, XErrorEvent* event) {
    const XErrorHandler handler = display == g_ownDisplay ? g_ownHandler : g_gdkHandler;
    return handler ? handler(display, event) : 0;
}

// GDK takes over Xlib's error handler, which is one for the whole process, and
// ends the program on any error it did not ask for, on any connection: the
// program's own connection keeps the handler it had.
bool GtkReady(Display* own) {
    static const bool ready = [own] {
        g_ownDisplay = own;
        g_ownHandler = XSetErrorHandler(nullptr);
        XSetErrorHandler(g_ownHandler);
        TakeDefaultContextForToolkit();
        const bool opened = gtk_init_check(nullptr, nullptr);
        g_gdkHandler = XSetErrorHandler(RouteXError);
        return opened;
    }();
    return ready;
}

void AddFilters(GtkFileChooser* chooser, const GtkSaveQuestion& question) {
    for (const auto& [name, patterns] : question.filters) {
        GtkFileFilter* filter = gtk_file_filter_new();  // floating: the chooser takes it
        gtk_file_filter_set_name(filter, name.c_str());
        for (const std::string& pattern : patterns)
            gtk_file_filter_add_pattern(filter, pattern.c_str());
        gtk_file_chooser_add_filter(chooser, filter);
    }
}

// Above the wizard's window, as a dialog of the wizard, whatever the window
// manager.
void StayAbove(GtkWidget* dialog, unsigned long parent) {
    if (!parent) return;
    gtk_widget_realize(dialog);
    GdkWindow* own = gtk_widget_get_window(dialog);
    GdkDisplay* display = gdk_window_get_display(own);
    if (!GDK_IS_X11_DISPLAY(display)) return;
    GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, parent);
    if (!foreign) return;
    gdk_window_set_transient_for(own, foreign);
    g_object_unref(foreign);
}

// Watches the program's own X connection from GTK's loop for as long as it lives.
class OwnEventsWatch {
public:
    OwnEventsWatch(Display* own, const std::function<void()>& handle)
        : id_(g_unix_fd_add(ConnectionNumber(own), G_IO_IN, Handle,
                            const_cast<std::function<void()>*>(&handle))) {}
    ~OwnEventsWatch() { g_source_remove(id_); }
    OwnEventsWatch(const OwnEventsWatch&) = delete;
    OwnEventsWatch& operator=(const OwnEventsWatch&) = delete;

private:
    static gboolean Handle(gint, GIOCondition, gpointer data) {
        (*static_cast<std::function<void()>*>(data))();
        return G_SOURCE_CONTINUE;
    }
    guint id_;
};

}  // namespace

std::optional<std::string> RunGtkSaveAs(const GtkSaveQuestion& question, Display* own,
                                        const std::function<void()>& ownEvents) {
    if (!GtkReady(own)) return std::nullopt;
    const OwnEventsWatch watch(own, ownEvents);
    // The chooser's places list watches the desktop's volume monitor, whose
    // signals would reach it on the phones' thread.
    const VolumeMonitorHeld held;
    const std::unique_ptr<GtkWidget, WidgetDestroy> dialog(gtk_file_chooser_dialog_new(
        question.title.c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_SAVE, "_Cancel",
        GTK_RESPONSE_CANCEL, "_Save", GTK_RESPONSE_ACCEPT, nullptr));
    auto* chooser = GTK_FILE_CHOOSER(dialog.get());
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog.get()), GTK_RESPONSE_ACCEPT);
    AddFilters(chooser, question);
    if (!question.folder.empty())
        gtk_file_chooser_set_current_folder(chooser, question.folder.c_str());
    if (!question.name.empty()) gtk_file_chooser_set_current_name(chooser, question.name.c_str());
    gtk_window_set_modal(GTK_WINDOW(dialog.get()), TRUE);
    StayAbove(dialog.get(), question.parent);
    if (gtk_dialog_run(GTK_DIALOG(dialog.get())) != GTK_RESPONSE_ACCEPT) return std::string();
    gchar* file = gtk_file_chooser_get_filename(chooser);
    const std::string chosen = file ? file : "";
    g_free(file);
    return chosen;
}
