#pragma once

#include <QString>

// User passwords are kept as libsodium Argon2id hash strings, never as typed. The password is trimmed
// before it is hashed or checked, so a blank typed before or after it makes no difference.
namespace Password {

// The longest password a user may type.
inline constexpr int MaxLength = 10;

// The hash string to store for a typed password; empty when hashing failed (out of memory).
QString hash(const QString& typed);
// True when typed matches stored. A stored value that is not a hash string (a row written by an older
// installation or by hand) is compared as plain text.
bool verify(const QString& stored, const QString& typed);
bool isHash(const QString& stored);

// Tests only: hashes made from now on use libsodium's minimum work factors (verification reads the factors
// from the stored string, so it stays correct either way).
void useMinimalCostForTests(bool on);

} // namespace Password
