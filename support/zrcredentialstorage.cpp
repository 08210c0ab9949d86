#include "support/zrcredentialstorage.h"

#include "support/zrhttpauthentication.h"

// glib names struct members "signals", which Qt defines as a macro.
#undef signals
#include <libsecret/secret.h>

#include <atomic>
#include <functional>

namespace {

// The longest a Secret Service exchange may take. A service that does not answer (one waiting
// for a user at an unlock prompt, one started on demand that never comes up) then counts as
// not there.
const unsigned SecretServiceTimeoutMs = 5000;
// After a time-out, how long the call may still take to wind down before it is left behind.
const unsigned WindDownMs = 200;

const SecretSchema *schema()
{
    static const SecretSchema made = {"org.zrplayer.ZRHTTPRequest.Credential",
                                      SECRET_SCHEMA_NONE,
                                      {{"host", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {"port", SECRET_SCHEMA_ATTRIBUTE_INTEGER},
                                       {"protocol", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {"realm", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {"proxy", SECRET_SCHEMA_ATTRIBUTE_BOOLEAN},
                                       {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                      0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    return &made;
}

// The protection space as libsecret attributes (all strings, as the "v" calls take them).
GHashTable *spaceAttributes(const QString &host, int port, const QString &protocol, const QString &realm, bool proxy)
{
    GHashTable *attributes = g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free);
    g_hash_table_insert(attributes, g_strdup("host"), g_strdup(host.toUtf8().constData()));
    g_hash_table_insert(attributes, g_strdup("port"), g_strdup(QByteArray::number(port).constData()));
    g_hash_table_insert(attributes, g_strdup("protocol"), g_strdup(protocol.toLower().toUtf8().constData()));
    g_hash_table_insert(attributes, g_strdup("realm"), g_strdup(realm.toUtf8().constData()));
    g_hash_table_insert(attributes, g_strdup("proxy"), g_strdup(proxy ? "true" : "false"));
    return attributes;
}

// One asynchronous libsecret call, shared by the waiting caller and the call's own callback,
// which may come after the caller gave up.
struct PendingCall
{
    std::atomic<int> holders{2};
    GAsyncResult *result = nullptr;
};

void releaseCall(PendingCall *call)
{
    if (--call->holders > 0)
        return;
    if (call->result)
        g_object_unref(call->result);
    delete call;
}

void callFinished(GObject *, GAsyncResult *result, gpointer data)
{
    PendingCall *call = static_cast<PendingCall *>(data);
    call->result = G_ASYNC_RESULT(g_object_ref(result));
    releaseCall(call);
}

gboolean timeIsUp(gpointer flag)
{
    *static_cast<bool *>(flag) = true;
    return G_SOURCE_REMOVE;
}

// Iterates the context until the call has its result or the time is up; whether it has it.
bool waitForResult(GMainContext *context, const PendingCall *call, unsigned timeoutMs)
{
    bool timedOut = false;
    GSource *timer = g_timeout_source_new(timeoutMs);
    g_source_set_callback(timer, &timeIsUp, &timedOut, nullptr);
    g_source_attach(timer, context);
    while (!call->result && !timedOut)
        g_main_context_iteration(context, TRUE);
    g_source_destroy(timer);
    g_source_unref(timer);
    return call->result != nullptr;
}

// Runs the call in a main context of its own until it ends or the time is up; a call still
// running then is cancelled. finish reads the result; it is not called after a time-out.
void runBounded(unsigned timeoutMs, const std::function<void(GCancellable *, GAsyncReadyCallback, gpointer)> &start,
                const std::function<void(GAsyncResult *)> &finish)
{
    GMainContext *context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GCancellable *cancellable = g_cancellable_new();
    PendingCall *call = new PendingCall;
    start(cancellable, &callFinished, call);
    if (waitForResult(context, call, timeoutMs)) {
        finish(call->result);
    } else {
        g_cancellable_cancel(cancellable);
        waitForResult(context, call, WindDownMs);
    }
    releaseCall(call);
    g_object_unref(cancellable);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
}

// The time left of a bound that started at the given moment.
unsigned remainingMs(gint64 startedUs)
{
    const gint64 spent = (g_get_monotonic_time() - startedUs) / 1000;
    return spent >= SecretServiceTimeoutMs ? 1 : SecretServiceTimeoutMs - static_cast<unsigned>(spent);
}

void clearSpace(GHashTable *attributes, unsigned timeoutMs)
{
    runBounded(
        timeoutMs,
        [attributes](GCancellable *cancellable, GAsyncReadyCallback callback, gpointer data) {
            secret_password_clearv(schema(), attributes, cancellable, callback, data);
        },
        [](GAsyncResult *result) {
            GError *error = nullptr;
            secret_password_clear_finish(result, &error);
            if (error)
                g_error_free(error);
        });
}

} // namespace

bool ZrCredentialStorage::saveCredentials(const QVariantMap &credentials, const QString &host, int port,
                                          const QString &protocol, const QString &realm, bool proxy)
{
    const QString user = credentials.value(ZrHttpAuthentication::UsernameKey).toString();
    const QString password = credentials.value(ZrHttpAuthentication::PasswordKey).toString();
    if (user.isEmpty())
        return false;
    const gint64 started = g_get_monotonic_time();
    GHashTable *attributes = spaceAttributes(host, port, protocol, realm, proxy);
    // One credential per space: the new one replaces any other.
    clearSpace(attributes, SecretServiceTimeoutMs);
    g_hash_table_insert(attributes, g_strdup("user"), g_strdup(user.toUtf8().constData()));
    const QByteArray label = QString("%1 (%2)").arg(host, user).toUtf8();
    const QByteArray secret = password.toUtf8();
    gboolean stored = false;
    runBounded(
        remainingMs(started),
        [&](GCancellable *cancellable, GAsyncReadyCallback callback, gpointer data) {
            secret_password_storev(schema(), attributes, SECRET_COLLECTION_DEFAULT, label.constData(),
                                   secret.constData(), cancellable, callback, data);
        },
        [&stored](GAsyncResult *result) {
            GError *error = nullptr;
            stored = secret_password_store_finish(result, &error);
            if (error)
                g_error_free(error);
        });
    g_hash_table_unref(attributes);
    return stored;
}

QVariantMap ZrCredentialStorage::savedCredentials(const QString &host, int port, const QString &protocol,
                                                  const QString &realm, bool proxy)
{
    const gint64 started = g_get_monotonic_time();
    GHashTable *attributes = spaceAttributes(host, port, protocol, realm, proxy);
    GList *found = nullptr;
    runBounded(
        SecretServiceTimeoutMs,
        [attributes](GCancellable *cancellable, GAsyncReadyCallback callback, gpointer data) {
            secret_password_searchv(schema(), attributes,
                                    static_cast<SecretSearchFlags>(SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS),
                                    cancellable, callback, data);
        },
        [&found](GAsyncResult *result) {
            GError *error = nullptr;
            found = secret_password_search_finish(result, &error);
            if (error)
                g_error_free(error);
        });
    g_hash_table_unref(attributes);
    QVariantMap credentials;
    if (!found)
        return credentials;
    SecretRetrievable *item = static_cast<SecretRetrievable *>(found->data);
    SecretValue *secret = nullptr;
    runBounded(
        remainingMs(started),
        [item](GCancellable *cancellable, GAsyncReadyCallback callback, gpointer data) {
            secret_retrievable_retrieve_secret(item, cancellable, callback, data);
        },
        [item, &secret](GAsyncResult *result) {
            GError *error = nullptr;
            secret = secret_retrievable_retrieve_secret_finish(item, result, &error);
            if (error)
                g_error_free(error);
        });
    GHashTable *itemAttributes = secret_retrievable_get_attributes(item);
    const char *user = static_cast<const char *>(g_hash_table_lookup(itemAttributes, "user"));
    if (user && secret) {
        credentials.insert(ZrHttpAuthentication::UsernameKey, QString::fromUtf8(user));
        credentials.insert(ZrHttpAuthentication::PasswordKey, QString::fromUtf8(secret_value_get_text(secret)));
    }
    if (secret)
        secret_value_unref(secret);
    g_hash_table_unref(itemAttributes);
    g_list_free_full(found, g_object_unref);
    return credentials;
}

void ZrCredentialStorage::removeCredentials(const QString &host, int port, const QString &protocol,
                                           const QString &realm, bool proxy)
{
    GHashTable *attributes = spaceAttributes(host, port, protocol, realm, proxy);
    clearSpace(attributes, SecretServiceTimeoutMs);
    g_hash_table_unref(attributes);
}

