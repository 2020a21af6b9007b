#include "admin/unlockgate.h"

#include <QtCore/QMessageAuthenticationCode>
#include <QtCore/QtEndian>

#include "platform/message.h"
#include "platform/strings.h"

namespace lg::admin {

namespace {

// The editor's password, as salt and digest only.
const QByteArray kDefaultSalt = QByteArray::fromHex("7ec43b17ac23a171024b2a6301c7cf2e");
const QByteArray kDefaultDigest =
    QByteArray::fromHex("de6d742518cb4a7450a7bff7d7f248486080bd97900957b18af73e1e3a4e7f0e");

struct PasswordState {
    QByteArray salt = kDefaultSalt;
    QByteArray digest = kDefaultDigest;
    bool unlocked = false;
};

PasswordState& state()
{
    static PasswordState s;
    return s;
}

bool equalInConstantTime(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

}  // namespace

bool isUnlocked() { return state().unlocked; }
void resetUnlock() { state().unlocked = false; }

QByteArray passwordDigest(const QByteArray& salt, const QString& password, int iterations)
{
    // PBKDF2 with one output block: U1 = HMAC(P, S || 1), Ui = HMAC(P, Ui-1).
    const QByteArray key = password.toUtf8();
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, key);
    QByteArray block(4, '\0');
    qToBigEndian<quint32>(1, block.data());
    mac.addData(salt);
    mac.addData(block);
    QByteArray u = mac.result();
    QByteArray out = u;
    for (int i = 1; i < iterations; ++i) {
        mac.reset();
        mac.addData(u);
        u = mac.result();
        for (qsizetype j = 0; j < out.size(); ++j)
            out[j] = char(out[j] ^ u[j]);
    }
    return out;
}

bool setPasswordDigest(const QByteArray& salt, const QByteArray& digest)
{
    if (salt.isEmpty() || digest.size() != 32)
        return false;
    state().salt = salt;
    state().digest = digest;
    return true;
}

void restoreDefaultPassword()
{
    state().salt = kDefaultSalt;
    state().digest = kDefaultDigest;
}

bool isPassword(const QString& answer)
{
    return equalInConstantTime(passwordDigest(state().salt, answer), state().digest);
}

UnlockGate::Outcome UnlockGate::gesture(cMessage2& messages)
{
    if (!canTry())
        return Outcome::Ignored;
    ++m_tries;
    QString answer;
    const bool answered =
        messages.MsgInputBox(LoadResString(30610), QString(), answer) == QStringLiteral("0");
    if (answered && isPassword(answer)) {
        messages.MsgInfo(LoadResString(30620));
        state().unlocked = true;
        return Outcome::Accepted;
    }
    if (canTry()) {
        messages.MsgError(LoadResString(30630),
                          LoadResString(30650) + QString::number(kMaxTries - m_tries) + LoadResString(30660));
        return answered ? Outcome::Wrong : Outcome::Cancelled;
    }
    messages.MsgError(LoadResString(30630), LoadResString(30640));
    return Outcome::NoMoreTries;
}

}  // namespace lg::admin
