#include "support/zrcredentialstorage.h"

#include "support/zrhttpauthentication.h"

// glib names struct members "signals", which Qt defines as a macro.
#undef signals
#include <libsecret/secret.h>

namespace {

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

} // namespace

bool ZrCredentialStorage::saveCredentials(const QVariantMap &credentials, const QString &host, int port,
                                          const QString &protocol, const QString &realm, bool proxy)
{
    const QString user = credentials.value(ZrHttpAuthentication::UsernameKey).toString();
    const QString password = credentials.value(ZrHttpAuthentication::PasswordKey).toString();
    if (user.isEmpty())
        return false;
    // One credential per space: the new one replaces any other.
    removeCredentials(host, port, protocol, realm, proxy);
    GHashTable *attributes = spaceAttributes(host, port, protocol, realm, proxy);
    g_hash_table_insert(attributes, g_strdup("user"), g_strdup(user.toUtf8().constData()));
    GError *error = nullptr;
    const QByteArray label = QString("%1 (%2)").arg(host, user).toUtf8();
    const gboolean stored = secret_password_storev_sync(schema(), attributes, SECRET_COLLECTION_DEFAULT,
                                                        label.constData(), password.toUtf8().constData(), nullptr,
                                                        &error);
    g_hash_table_unref(attributes);
    if (error)
        g_error_free(error);
    return stored;
}

QVariantMap ZrCredentialStorage::savedCredentials(const QString &host, int port, const QString &protocol,
                                                  const QString &realm, bool proxy)
{
    GHashTable *attributes = spaceAttributes(host, port, protocol, realm, proxy);
    GError *error = nullptr;
    GList *found = secret_password_searchv_sync(
        schema(), attributes, static_cast<SecretSearchFlags>(SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS),
        nullptr, &error);
    g_hash_table_unref(attributes);
    if (error)
        g_error_free(error);
    QVariantMap credentials;
    if (found) {
        SecretRetrievable *item = static_cast<SecretRetrievable *>(found->data);
        GHashTable *itemAttributes = secret_retrievable_get_attributes(item);
        SecretValue *secret = secret_retrievable_retrieve_secret_sync(item, nullptr, nullptr);
        const char *user = static_cast<const char *>(g_hash_table_lookup(itemAttributes, "user"));
        if (user && secret) {
            credentials.insert(ZrHttpAuthentication::UsernameKey, QString::fromUtf8(user));
            credentials.insert(ZrHttpAuthentication::PasswordKey, QString::fromUtf8(secret_value_get_text(secret)));
        }
        if (secret)
            secret_value_unref(secret);
        g_hash_table_unref(itemAttributes);
        g_list_free_full(found, g_object_unref);
    }
    return credentials;
}

void ZrCredentialStorage::removeCredentials(const QString &host, int port, const QString &protocol,
                                           const QString &realm, bool proxy)
{
    GHashTable *attributes = spaceAttributes(host, port, protocol, realm, proxy);
    GError *error = nullptr;
    secret_password_clearv_sync(schema(), attributes, nullptr, &error);
    g_hash_table_unref(attributes);
    if (error)
        g_error_free(error);
}
