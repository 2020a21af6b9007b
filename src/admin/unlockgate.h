#pragma once

// The hidden unlock of the catalogue editor. The columns that tie the
// catalogue to the physical database (table and column names, alias, primary
// key, quick pick, filter types, clauses) are editable only after an
// administrator has given the editor's password with the hidden gesture.
//
// The library keeps a salted PBKDF2-HMAC-SHA256 digest of the password, never
// its text; an answer is derived the same way and compared in constant time.
// A host that wants a password of its own replaces the digest with
// setPasswordDigest (derive it once with passwordDigest and keep only the
// salt and the digest).
//
// The unlock flag is library-wide: false when the library is loaded, set by a
// correct answer and kept while the process runs; it takes effect in the edit
// forms opened afterwards. A host that reuses the process for another
// administrator calls resetUnlock. Every editor form has its own gate: three
// tries, after which further gestures on that form do nothing.

#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace lg {
class cMessage2;
}

namespace lg::admin {

// The library-wide unlock flag.
bool isUnlocked();
void resetUnlock();

// The digest of `password` under `salt` (PBKDF2-HMAC-SHA256, 32 bytes).
inline constexpr int kDigestIterations = 20000;
QByteArray passwordDigest(const QByteArray& salt, const QString& password, int iterations = kDigestIterations);

// Replaces the accepted password: from now on an answer is accepted when its
// digest under `salt` equals `digest`. An empty salt or a digest that is not
// 32 bytes is refused (false) and the accepted password stays.
bool setPasswordDigest(const QByteArray& salt, const QByteArray& digest);
// The library's own password again.
void restoreDefaultPassword();
// Whether `answer` is the accepted password (constant time in the digest).
bool isPassword(const QString& answer);

class UnlockGate {
public:
    static constexpr int kMaxTries = 3;

    enum class Outcome {
        Ignored,   // no tries left: the gesture does nothing
        Cancelled, // the input box was closed without an answer (a try is used)
        Accepted,  // the password was right; the library is unlocked
        Wrong,     // wrong, tries remain
        NoMoreTries  // wrong, and that was the last try
    };

    int tries() const { return m_tries; }
    bool canTry() const { return m_tries < kMaxTries; }

    // One gesture: asks for the password through `messages` and answers with
    // the messages of the editor. Every asked question counts as a try.
    Outcome gesture(cMessage2& messages);

private:
    int m_tries = 0;
};

}  // namespace lg::admin
