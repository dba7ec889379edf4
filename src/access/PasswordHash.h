#pragma once

#include <QString>

// Passwords are kept as salted Argon2id hashes (libsodium's crypto_pwhash_str), never as the
// text typed. Databases from before hold the text itself; such a value still matches once, and
// the login then replaces it by its hash.
class PasswordHash
{
public:
    // The hash of password, with a fresh salt; a null string when it cannot be made (out of
    // memory), which callers must not store.
    static QString hash(const QString &password);
    // Whether a stored value is a hash (rather than an older database's clear text).
    static bool isHash(const QString &stored);
    // Whether typed is the password stored: verified against a hash, compared exactly (letter
    // case counts, nothing trimmed) with clear text.
    static bool matches(const QString &stored, const QString &typed);
    // Whether the stored password is empty: for clear text, blanks count as empty.
    static bool isEmptyPassword(const QString &stored);
};
