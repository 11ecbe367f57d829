#pragma once
// The remembered upload password, kept by the desktop's secret service
// (the keyring) and never in the settings file. With no secret service in
// reach (no session bus, no keyring) nothing is remembered and nothing
// fails: a store says false, a lookup finds "".
#include <QString>

// True when a secret service is in reach to keep a password.
bool SecretStoreAvailable();
// False when the password could not be kept.
bool SecretStorePassword(const QString& account, const QString& password);
// "" when none is kept for the account.
QString SecretLookupPassword(const QString& account);
// Forgets every upload password kept, whatever its account.
void SecretClearPasswords();
