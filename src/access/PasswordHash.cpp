#include "PasswordHash.h"

#include <QByteArray>
#include <sodium.h>

namespace {

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

QString PasswordHash::hash(const QString &password)
{
    if (!sodiumReady())
        return {};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return {};
    return QString::fromLatin1(out);
}

bool PasswordHash::isHash(const QString &stored)
{
    return stored.startsWith(QLatin1String("$argon2id$")) || stored.startsWith(QLatin1String("$argon2i$"));
}

bool PasswordHash::matches(const QString &stored, const QString &typed)
{
    if (!isHash(stored))
        return stored == typed;
    if (!sodiumReady())
        return false;
    const QByteArray hashText = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(hashText.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size()))
           == 0;
}

bool PasswordHash::isEmptyPassword(const QString &stored)
{
    return isHash(stored) ? matches(stored, QString()) : stored.trimmed().isEmpty();
}
