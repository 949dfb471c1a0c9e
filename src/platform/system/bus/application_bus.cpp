#include "application_bus.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/system/glib_holders.h"
#include "platform/system/uri_list.h"

namespace {

constexpr const char* kInterface = "org.freedesktop.Application";
// A copy that does not answer within this is taken for gone.
constexpr gint kCallTimeoutMs = 5000;
constexpr guint32 kDoNotQueue = 4;    // RequestName flag
constexpr guint32 kPrimaryOwner = 1;  // RequestName reply

constexpr const char* kIntrospection =
    "<node><interface name='org.freedesktop.Application'>"
    "<method name='Activate'><arg type='a{sv}' name='platform_data' direction='in'/></method>"
    "<method name='Open'><arg type='as' name='uris' direction='in'/>"
    "<arg type='a{sv}' name='platform_data' direction='in'/></method>"
    "<method name='ActivateAction'><arg type='s' name='action_name' direction='in'/>"
    "<arg type='av' name='parameter' direction='in'/>"
    "<arg type='a{sv}' name='platform_data' direction='in'/></method>"
    "</interface></node>";

using ConnectionPtr = GObjectPtr<GDBusConnection>;
using VariantPtr = GVariantPtr;
using ErrorPtr = GErrorPtr;

// The session's bus, else the usual socket in the runtime folder; never the
// autolaunch GIO would try without either, which starts a bus for this process
// alone that nobody else would find.
std::string SessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return address;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return "";
    const std::string socket = std::string(runtime) + "/bus";
    struct stat info {};
    if (stat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return "";
    std::unique_ptr<gchar, decltype(&g_free)> escaped(g_dbus_address_escape_value(socket.c_str()),
                                                      g_free);
    return std::string("unix:path=") + escaped.get();
}

// A connection of this object's own, so closing it gives up whatever it owns.
ConnectionPtr ConnectToSessionBus() {
    const std::string address = SessionBusAddress();
    if (address.empty()) return nullptr;
    GError* error = nullptr;
    ConnectionPtr connection(g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error));
    ErrorPtr failed(error);
    return connection;
}

const GDBusInterfaceInfo* InterfaceInfo() {
    static const GDBusNodeInfoPtr node(g_dbus_node_info_new_for_xml(kIntrospection, nullptr));
    return node ? node->interfaces[0] : nullptr;
}

// The URIs come from any program on the bus: only local files are kept, and no
// more than a dropped list may carry.
std::vector<std::string> PathsOfUris(GVariant* parameters) {
    std::vector<std::string> paths;
    const VariantPtr uris(g_variant_get_child_value(parameters, 0));
    const gsize count = g_variant_n_children(uris.get());
    for (gsize i = 0; i < count && paths.size() < kMaxUriListFiles; ++i) {
        const VariantPtr uri(g_variant_get_child_value(uris.get(), i));
        gsize length = 0;
        const gchar* text = g_variant_get_string(uri.get(), &length);
        if (auto path = PathOfFileUri(std::string_view(text, length))) paths.push_back(*path);
    }
    return paths;
}

// The bus checked the arguments against the interface before this is called.
void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    const auto& handlers = *static_cast<const ApplicationService::Handlers*>(data);
    const std::string_view name = method;
    if (name == "Activate") {
        if (handlers.activate) handlers.activate();
    } else if (name == "Open") {
        if (handlers.open) handlers.open(PathsOfUris(parameters));
    } else {
        g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_NOT_SUPPORTED,
                                              "The wizard has no actions");
        return;
    }
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

bool OwnName(GDBusConnection* connection, const std::string& busName) {
    GError* error = nullptr;
    const VariantPtr reply(g_dbus_connection_call_sync(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", busName.c_str(), kDoNotQueue), G_VARIANT_TYPE("(u)"),
        G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error));
    ErrorPtr failed(error);
    guint32 result = 0;
    if (reply) g_variant_get(reply.get(), "(u)", &result);
    return result == kPrimaryOwner;
}

}  // namespace

std::string ApplicationObjectPath(const std::string& busName) {
    std::string path = "/" + busName;
    for (char& c : path)
        if (c == '.') c = '/';
    return path;
}

struct ApplicationService::State {
    Handlers handlers;
    ConnectionPtr connection;
    GMainContextPtr context{g_main_context_new()};
    GMainLoopPtr loop{g_main_loop_new(context.get(), FALSE)};
    guint registration = 0;
    std::thread thread;

    // Calls arrive on the context that was the thread's own at registration:
    // the service thread's.
    bool Register(const std::string& busName) {
        if (!InterfaceInfo()) return false;
        static const GDBusInterfaceVTable vtable{OnMethodCall, nullptr, nullptr, {}};
        g_main_context_push_thread_default(context.get());
        registration = g_dbus_connection_register_object(
            connection.get(), ApplicationObjectPath(busName).c_str(),
            const_cast<GDBusInterfaceInfo*>(InterfaceInfo()), &vtable, &handlers, nullptr, nullptr);
        g_main_context_pop_thread_default(context.get());
        return registration != 0;
    }

    void Run() {
        g_main_context_push_thread_default(context.get());
        g_main_loop_run(loop.get());
        g_main_context_pop_thread_default(context.get());
    }

    // Quit from inside the loop, so a stop asked before the loop runs is not lost.
    void Stop() {
        GSource* quit = g_idle_source_new();
        g_source_set_callback(
            quit,
            [](gpointer loop) {
                g_main_loop_quit(static_cast<GMainLoop*>(loop));
                return G_SOURCE_REMOVE;
            },
            loop.get(), nullptr);
        g_source_attach(quit, context.get());
        g_source_unref(quit);
        if (thread.joinable()) thread.join();
    }

    ~State() {
        if (!connection) return;
        if (registration) g_dbus_connection_unregister_object(connection.get(), registration);
        g_dbus_connection_close_sync(connection.get(), nullptr, nullptr);
    }
};

ApplicationService::ApplicationService(std::unique_ptr<State> state) : state_(std::move(state)) {}

// Registered before the name is taken: whoever finds the name finds the interface.
std::unique_ptr<ApplicationService> ApplicationService::Start(const std::string& busName,
                                                              Handlers handlers) {
    auto state = std::make_unique<State>();
    state->handlers = std::move(handlers);
    state->connection = ConnectToSessionBus();
    if (!state->connection || !state->Register(busName) ||
        !OwnName(state->connection.get(), busName))
        return nullptr;
    state->thread = std::thread([raw = state.get()] { raw->Run(); });
    return std::unique_ptr<ApplicationService>(new ApplicationService(std::move(state)));
}

ApplicationService::~ApplicationService() {
    state_->Stop();
}

bool AskRunningCopy(const std::string& busName, const std::vector<std::string>& paths) {
    const ConnectionPtr connection = ConnectToSessionBus();
    if (!connection) return false;
    GVariantBuilder platformData;
    g_variant_builder_init(&platformData, G_VARIANT_TYPE("a{sv}"));
    GVariant* arguments = nullptr;
    if (paths.empty()) {
        arguments = g_variant_new("(a{sv})", &platformData);
    } else {
        GVariantBuilder uris;
        g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
        for (const std::string& path : paths)
            g_variant_builder_add(&uris, "s", FileUriOf(path).c_str());
        arguments = g_variant_new("(asa{sv})", &uris, &platformData);
    }
    GError* error = nullptr;
    const VariantPtr reply(g_dbus_connection_call_sync(
        connection.get(), busName.c_str(), ApplicationObjectPath(busName).c_str(), kInterface,
        paths.empty() ? "Activate" : "Open", arguments, nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START,
        kCallTimeoutMs, nullptr, &error));
    ErrorPtr failed(error);
    g_dbus_connection_close_sync(connection.get(), nullptr, nullptr);
    return reply != nullptr;
}
