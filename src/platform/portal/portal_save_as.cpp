#include "portal_save_as.h"

#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include "platform/system/glib_holders.h"
#include "platform/system/uri_list.h"

namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kFileChooser = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequest = "org.freedesktop.portal.Request";
// How long the closing of a dialog nobody waits for any more may take.
constexpr int kCloseTimeoutMs = 1000;
// How long the program waits for the exchange's thread to end once it is done
// with it.
constexpr auto kLetGoAfter = std::chrono::milliseconds(1500);

using Variant = GVariantPtr;
using Error = GErrorPtr;

bool IsSocket(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// The session bus as the desktop announces it. GIO would otherwise launch a bus
// of its own through the X server when none is announced; that bus has no
// desktop behind it.
std::string SessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
        return address;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return "";
    const std::string socket = std::string(runtime) + "/bus";
    if (!IsSocket(socket)) return "";
    gchar* escaped = g_dbus_address_escape_value(socket.c_str());
    const std::string address = std::string("unix:path=") + escaped;
    g_free(escaped);
    return address;
}

std::string NextToken() {
    static std::atomic<unsigned> counter{0};
    return "ostrel_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

GVariant* FilterVariant(const std::pair<std::string, std::vector<std::string>>& filter) {
    GVariantBuilder patterns;
    g_variant_builder_init(&patterns, G_VARIANT_TYPE("a(us)"));
    for (const std::string& pattern : filter.second)
        g_variant_builder_add(&patterns, "(us)", 0u, pattern.c_str());
    return g_variant_new("(s@a(us))", filter.first.c_str(), g_variant_builder_end(&patterns));
}

GVariant* SaveFileOptions(const PortalSaveQuestion& question, const std::string& token) {
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
    if (!question.currentName.empty())
        g_variant_builder_add(&options, "{sv}", "current_name",
                              g_variant_new_string(question.currentName.c_str()));
    // A byte string ended by a NUL, as file names are not always UTF-8.
    if (!question.currentFolder.empty())
        g_variant_builder_add(&options, "{sv}", "current_folder",
                              g_variant_new_bytestring(question.currentFolder.c_str()));
    if (!question.filters.empty()) {
        GVariantBuilder filters;
        g_variant_builder_init(&filters, G_VARIANT_TYPE("a(sa(us))"));
        for (const auto& filter : question.filters)
            g_variant_builder_add_value(&filters, FilterVariant(filter));
        g_variant_builder_add(&options, "{sv}", "filters", g_variant_builder_end(&filters));
        g_variant_builder_add(&options, "{sv}", "current_filter",
                              FilterVariant(question.filters.front()));
    }
    return g_variant_builder_end(&options);
}

}  // namespace

std::string LocalPathOfUri(const std::string& uri) {
    return PathOfFileUri(uri).value_or("");
}

std::string PredictedRequestPath(const std::string& uniqueName, const std::string& token) {
    std::string sender = uniqueName.substr(!uniqueName.empty() && uniqueName[0] == ':' ? 1 : 0);
    for (char& c : sender) {
        if (c == '.') c = '_';
    }
    return std::string(kPortalPath) + "/request/" + sender + "/" + token;
}

// Everything below the mutex belongs to the exchange's thread.
struct PortalSaveAs::Exchange {
    PortalSaveQuestion question;
    std::chrono::milliseconds answerWithin;
    std::function<void()> settled;

    mutable std::mutex mutex;
    PortalOutcome outcome = PortalOutcome::kWaiting;
    std::string path;
    std::string problem;

    GMainContextPtr context{g_main_context_new()};
    GMainLoopPtr loop{g_main_loop_new(context.get(), FALSE)};
    GObjectPtr<GCancellable> cancellable{g_cancellable_new()};
    GObjectPtr<GDBusConnection> connection;
    guint subscription = 0;
    std::string handle;
    std::string token_;
    int pending = 0;         // asynchronous calls whose callbacks have not run yet
    bool taken = false;      // the portal took the question: a dialog is open
    bool responded = false;  // and it has answered
    bool stopRequested = false;
    std::thread thread;
    std::promise<void> ended;

    void Run();
    void Settle(PortalOutcome result, const std::string& file, const std::string& why);
    void Connected(GAsyncResult* result);
    void CallBus(const char* method, GVariant* parameters, const char* replyType,
                 void (Exchange::*then)(GAsyncResult*));
    // A call's answer; none (the outcome settled) when it failed or was cancelled.
    Variant Reply(GAsyncResult* result);
    void Looked(GAsyncResult* result);
    void Started(GAsyncResult* result);
    void Ask();
    void Accepted(GAsyncResult* result);
    void Responded(GVariant* parameters);
    void Subscribe(const std::string& path);
    void Call(const char* name, const char* path, const char* interface, const char* method,
              GVariant* parameters, const char* replyType, int timeoutMs,
              void (Exchange::*then)(GAsyncResult*), GCancellable* cancellable);
    void Finished(GAsyncResult* result);
    void Flushed(GAsyncResult* result);
    void TearDown();
};

void PortalSaveAs::Exchange::Settle(PortalOutcome result, const std::string& file,
                                    const std::string& why) {
    {
        std::lock_guard lock(mutex);
        if (outcome != PortalOutcome::kWaiting) return;
        outcome = result;
        path = file;
        problem = why;
    }
    g_main_loop_quit(loop.get());
    if (settled) settled();
}

namespace {

// Callbacks carry the exchange and the member to go on with.
struct Continuation {
    PortalSaveAs::Exchange* exchange;
    void (PortalSaveAs::Exchange::*then)(GAsyncResult*);
};

void ContinueAfterCall(GObject*, GAsyncResult* result, gpointer data) {
    std::unique_ptr<Continuation> next(static_cast<Continuation*>(data));
    (next->exchange->*next->then)(result);
}

Error TakeError(GError* error) {
    return Error(error);
}

}  // namespace

void PortalSaveAs::Exchange::Call(const char* name, const char* objectPath, const char* interface,
                                  const char* method, GVariant* parameters, const char* replyType,
                                  int timeoutMs, void (Exchange::*then)(GAsyncResult*),
                                  GCancellable* cancel) {
    ++pending;
    g_dbus_connection_call(connection.get(), name, objectPath, interface, method, parameters,
                           G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE, timeoutMs, cancel,
                           ContinueAfterCall, new Continuation{this, then});
}

void PortalSaveAs::Exchange::Run() {
    g_main_context_push_thread_default(context.get());
    const std::string address = SessionBusAddress();
    if (address.empty()) {
        Settle(PortalOutcome::kUnavailable, "", "no session bus");
    } else {
        GSource* deadline = g_timeout_source_new(static_cast<guint>(answerWithin.count()));
        g_source_set_callback(
            deadline,
            [](gpointer data) -> gboolean {
                auto* self = static_cast<Exchange*>(data);
                if (!self->taken)
                    self->Settle(PortalOutcome::kUnavailable, "", "no portal answered in time");
                return G_SOURCE_REMOVE;
            },
            this, nullptr);
        g_source_attach(deadline, context.get());
        g_source_unref(deadline);
        ++pending;
        g_dbus_connection_new_for_address(
            address.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, cancellable.get(), ContinueAfterCall,
            new Continuation{this, &Exchange::Connected});
        g_main_loop_run(loop.get());
    }
    TearDown();
    g_main_context_pop_thread_default(context.get());
}

void PortalSaveAs::Exchange::Connected(GAsyncResult* result) {
    --pending;
    GError* raw = nullptr;
    GDBusConnection* made = g_dbus_connection_new_for_address_finish(result, &raw);
    const Error error = TakeError(raw);
    if (!made) return Settle(PortalOutcome::kUnavailable, "", error->message);
    connection.reset(made);
    if (g_cancellable_is_cancelled(cancellable.get())) return;
    // Subscribed before asking, so an answer that comes at once is not missed.
    const gchar* uniqueName = g_dbus_connection_get_unique_name(made);
    if (!uniqueName) return Settle(PortalOutcome::kUnavailable, "", "no name on the bus");
    const std::string token = NextToken();
    Subscribe(PredictedRequestPath(uniqueName, token));
    CallBus("NameHasOwner", g_variant_new("(s)", kPortalName), "(b)", &Exchange::Looked);
    token_ = token;
}

void PortalSaveAs::Exchange::CallBus(const char* method, GVariant* parameters,
                                     const char* replyType, void (Exchange::*then)(GAsyncResult*)) {
    Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
         parameters, replyType, -1, then, cancellable.get());
}

Variant PortalSaveAs::Exchange::Reply(GAsyncResult* result) {
    --pending;
    GError* raw = nullptr;
    Variant reply(g_dbus_connection_call_finish(connection.get(), result, &raw));
    const Error error = TakeError(raw);
    if (!reply) Settle(PortalOutcome::kUnavailable, "", error->message);
    if (g_cancellable_is_cancelled(cancellable.get())) return nullptr;
    return reply;
}

// The bus starts only a portal that it knows how to start; one that runs already
// may have been started otherwise.
void PortalSaveAs::Exchange::Looked(GAsyncResult* result) {
    const Variant reply = Reply(result);
    if (!reply) return;
    gboolean running = FALSE;
    g_variant_get(reply.get(), "(b)", &running);
    if (running) return Ask();
    CallBus("StartServiceByName", g_variant_new("(su)", kPortalName, 0u), "(u)",
            &Exchange::Started);
}

void PortalSaveAs::Exchange::Started(GAsyncResult* result) {
    const Variant reply = Reply(result);
    if (!reply) return;
    Ask();
}

void PortalSaveAs::Exchange::Ask() {
    const std::string title = question.title.empty() ? "Save As" : question.title;
    Call(kPortalName, kPortalPath, kFileChooser, "SaveFile",
         g_variant_new("(ss@a{sv})", question.parentWindow.c_str(), title.c_str(),
                       SaveFileOptions(question, token_)),
         "(o)", -1, &Exchange::Accepted, cancellable.get());
}

void PortalSaveAs::Exchange::Accepted(GAsyncResult* result) {
    const Variant reply = Reply(result);
    if (!reply) return;
    taken = true;
    const gchar* requestPath = nullptr;
    g_variant_get(reply.get(), "(&o)", &requestPath);
    // A portal older than the handle token puts the request elsewhere.
    if (handle != requestPath) Subscribe(requestPath);
}

void PortalSaveAs::Exchange::Subscribe(const std::string& requestPath) {
    if (subscription) g_dbus_connection_signal_unsubscribe(connection.get(), subscription);
    handle = requestPath;
    subscription = g_dbus_connection_signal_subscribe(
        connection.get(), kPortalName, kRequest, "Response", handle.c_str(), nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
           GVariant* parameters,
           gpointer data) { static_cast<Exchange*>(data)->Responded(parameters); },
        this, nullptr);
}

// The answer comes from another program: its shape is checked before use.
void PortalSaveAs::Exchange::Responded(GVariant* parameters) {
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})")))
        return Settle(PortalOutcome::kCancelled, "", "the portal answered in an unknown form");
    responded = true;
    guint32 code = 0;
    GVariant* rawResults = nullptr;
    g_variant_get(parameters, "(u@a{sv})", &code, &rawResults);
    const Variant results(rawResults);
    if (code == 1) return Settle(PortalOutcome::kCancelled, "", "");
    if (code != 0)
        return Settle(PortalOutcome::kUnavailable, "", "the portal could not show its dialog");
    const gchar** uris = nullptr;
    if (!g_variant_lookup(results.get(), "uris", "^a&s", &uris) || !uris || !uris[0]) {
        g_free(uris);
        return Settle(PortalOutcome::kCancelled, "", "the portal named no file");
    }
    const std::string chosen = LocalPathOfUri(uris[0]);
    const std::string uri = uris[0];
    g_free(uris);
    if (chosen.empty()) return Settle(PortalOutcome::kCancelled, "", "not a local file: " + uri);
    Settle(PortalOutcome::kChosen, chosen, "");
}

// Calls still on their way end cancelled; a dialog nobody waits for is closed, and
// so is the connection, which also makes the portal drop whatever it still holds
// for us.
void PortalSaveAs::Exchange::TearDown() {
    g_cancellable_cancel(cancellable.get());
    if (connection && stopRequested && taken && !responded) {
        Call(kPortalName, handle.c_str(), kRequest, "Close", nullptr, "()", kCloseTimeoutMs,
             &Exchange::Finished, nullptr);
    }
    if (connection) {
        if (subscription) g_dbus_connection_signal_unsubscribe(connection.get(), subscription);
        subscription = 0;
        ++pending;
        g_dbus_connection_flush(connection.get(), nullptr, ContinueAfterCall,
                                new Continuation{this, &Exchange::Flushed});
    }
    while (pending > 0)
        g_main_context_iteration(context.get(), TRUE);
    if (connection) g_dbus_connection_close_sync(connection.get(), nullptr, nullptr);
}

void PortalSaveAs::Exchange::Finished(GAsyncResult* result) {
    --pending;
    const Variant reply(g_dbus_connection_call_finish(connection.get(), result, nullptr));
}

void PortalSaveAs::Exchange::Flushed(GAsyncResult* result) {
    --pending;
    g_dbus_connection_flush_finish(connection.get(), result, nullptr);
}

PortalSaveAs::PortalSaveAs(PortalSaveQuestion question, std::chrono::milliseconds answerWithin,
                           std::function<void()> settled)
    : exchange_(std::make_shared<Exchange>()) {
    exchange_->question = std::move(question);
    exchange_->answerWithin = answerWithin;
    exchange_->settled = std::move(settled);
    exchange_->thread = std::thread([exchange = exchange_] {
        exchange->Run();
        exchange->ended.set_value();
    });
}

PortalSaveAs::~PortalSaveAs() {
    // Handed to the exchange's own thread, which alone touches its state.
    GSource* stop = g_idle_source_new();
    g_source_set_callback(
        stop,
        [](gpointer data) -> gboolean {
            auto* self = static_cast<Exchange*>(data);
            self->stopRequested = true;
            self->Settle(PortalOutcome::kCancelled, "", "closed by the program");
            return G_SOURCE_REMOVE;
        },
        exchange_.get(), nullptr);
    g_source_attach(stop, exchange_->context.get());
    g_source_unref(stop);
    // A bus that stopped answering holds GIO's connecting for as long as its own
    // timeout; the thread is then left to end by itself with its own share of the
    // exchange, and the program goes on.
    if (exchange_->ended.get_future().wait_for(kLetGoAfter) == std::future_status::ready)
        exchange_->thread.join();
    else
        exchange_->thread.detach();
}

PortalOutcome PortalSaveAs::Outcome() const {
    std::lock_guard lock(exchange_->mutex);
    return exchange_->outcome;
}

std::string PortalSaveAs::Path() const {
    std::lock_guard lock(exchange_->mutex);
    return exchange_->path;
}

std::string PortalSaveAs::Problem() const {
    std::lock_guard lock(exchange_->mutex);
    return exchange_->problem;
}
