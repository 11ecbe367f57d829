// Before any Qt header: GLib names a member "signals", which Qt defines away.
#include <libsecret/secret.h>

#include "ui/seams/secret_store.h"

#include <cstdlib>

#include "base/log.h"

namespace {

constexpr const char* kSecretServiceName = "org.freedesktop.secrets";

const SecretSchema* uploadSchema() {
  static const SecretSchema schema = {"org.quelvatron.Quelvatron.UploadPassword",
                                      SECRET_SCHEMA_NONE,
                                      {{"account", SECRET_SCHEMA_ATTRIBUTE_STRING}, {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                      0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  return &schema;
}

// Without a session bus the library would start one of its own (and with
// it a keyring nobody unlocks); a desktop session always names its bus.
bool secretServiceInReach() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address == nullptr || address[0] == 0) return false;
  // The library shares the session bus connection, which by default ends
  // the process when the bus goes away; a lost keyring must not.
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (bus == nullptr) return false;
  g_dbus_connection_set_exit_on_close(bus, FALSE);
  g_object_unref(bus);
  return true;
}

void logFailure(const char* what, GError* error) {
  if (error == nullptr) return;
  LogPrintf(L"Secret service: %S failed: %S", what, error->message);
  g_error_free(error);
}

} // namespace

// A bus alone keeps nothing: the keyring must run there or be startable.
bool SecretStoreAvailable() {
  if (!secretServiceInReach()) return false;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (bus == nullptr) return false;
  bool found = false;
  GVariant* owner = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "NameHasOwner",
                                                g_variant_new("(s)", kSecretServiceName), G_VARIANT_TYPE("(b)"),
                                                G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
  if (owner != nullptr) {
    gboolean has = FALSE;
    g_variant_get(owner, "(b)", &has);
    found = has != FALSE;
    g_variant_unref(owner);
  }
  if (!found) {
    GVariant* names = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "ListActivatableNames", nullptr,
                                                  G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr,
                                                  nullptr);
    if (names != nullptr) {
      GVariantIter* iter = nullptr;
      const gchar* name = nullptr;
      g_variant_get(names, "(as)", &iter);
      while (!found && g_variant_iter_next(iter, "&s", &name)) found = g_strcmp0(name, kSecretServiceName) == 0;
      g_variant_iter_free(iter);
      g_variant_unref(names);
    }
  }
  g_object_unref(bus);
  return found;
}

// One account's password at a time: the one stored last.
bool SecretStorePassword(const QString& account, const QString& password) {
  if (!secretServiceInReach()) return false;
  SecretClearPasswords();
  const QByteArray name = account.toUtf8();
  const QByteArray secret = password.toUtf8();
  const QByteArray label = ("Quelvatron video upload (" + account + ")").toUtf8();
  GError* error = nullptr;
  gboolean stored = secret_password_store_sync(uploadSchema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                               secret.constData(), nullptr, &error, "account", name.constData(),
                                               nullptr);
  logFailure("store", error);
  return stored != FALSE;
}

QString SecretLookupPassword(const QString& account) {
  if (!secretServiceInReach()) return QString();
  const QByteArray name = account.toUtf8();
  GError* error = nullptr;
  gchar* secret = secret_password_lookup_sync(uploadSchema(), nullptr, &error, "account", name.constData(), nullptr);
  logFailure("lookup", error);
  if (secret == nullptr) return QString();
  QString password = QString::fromUtf8(secret);
  secret_password_free(secret);
  return password;
}

void SecretClearPasswords() {
  if (!secretServiceInReach()) return;
  GError* error = nullptr;
  secret_password_clear_sync(uploadSchema(), nullptr, &error, nullptr);
  logFailure("clear", error);
}
