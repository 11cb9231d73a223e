#include "Password.h"

#include <sodium.h>

#include <QByteArray>

namespace {

bool g_minimalCost = false;

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

} // namespace

namespace Password {

QString hash(const QString& typed)
{
    if (!sodiumReady())
        return {};
    const QByteArray plain = typed.trimmed().toUtf8();
    char out[crypto_pwhash_STRBYTES];
    const unsigned long long ops = g_minimalCost ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
    const size_t mem = g_minimalCost ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
    if (crypto_pwhash_str(out, plain.constData(), quint64(plain.size()), ops, mem) != 0)
        return {};
    return QString::fromLatin1(out);
}

void useMinimalCostForTests(bool on)
{
    g_minimalCost = on;
}

bool isHash(const QString& stored)
{
    return stored.startsWith(QLatin1String("$argon2"));
}

bool verify(const QString& stored, const QString& typed)
{
    const QByteArray plain = typed.trimmed().toUtf8();
    if (isHash(stored)) {
        if (!sodiumReady())
            return false;
        const QByteArray h = stored.toLatin1();
        return crypto_pwhash_str_verify(h.constData(), plain.constData(), quint64(plain.size())) == 0;
    }
    const QByteArray old = stored.trimmed().toUtf8();
    if (!sodiumReady() || old.size() != plain.size())
        return false;
    return sodium_memcmp(old.constData(), plain.constData(), size_t(plain.size())) == 0;
}

} // namespace Password
