#pragma once

#include <QtCore/QString>

#include <exception>
#include <string>

namespace lg {

// An unexpected failure travelling up the call stack. Every level below the
// user interface catches it, appends its own trace line and throws it on, so
// the description becomes a call trace with the innermost line first:
//
//   "no such table: foo\r\nmodTables in Function OpenTable \r\nListReport in Function CoreLoad "
//
// Business failures never travel this way; they go to the shared Errors
// collection instead.
class RuntimeError : public std::exception {
public:
    RuntimeError() = default;
    RuntimeError(long number, QString source, QString description);

    long number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }

    void setSource(const QString& source) { m_source = source; }
    void setDescription(const QString& description);

    // Appends "\r\n<source> in Function <procedure> " and makes <source> the
    // error's source.
    void addFunctionTrace(const QString& source, const QString& procedure);
    // Appends "\r\n<source> in Sub <procedure>".
    void addSubTrace(const QString& source, const QString& procedure);

    const char* what() const noexcept override { return m_what.c_str(); }

private:
    long m_number = 0;
    QString m_source;
    QString m_description;
    std::string m_what;
};

// Numbers used for failures that do not come with a number of their own.
namespace errnum {
constexpr long Internal = 51;          // an unexpected condition inside the library
constexpr long Database = 3146;        // the database refused a call
constexpr long SyntaxError = 3075;     // a statement that does not parse
constexpr long UndefinedFunction = 3085;
constexpr long ElementIsTemporary = static_cast<long>(0x80040064u - 0x100000000LL);  // -2147221404
}  // namespace errnum

enum class TraceKind { Function, Sub };

// Converts whatever is being handled (call only inside a catch block) into a
// RuntimeError, appends the trace line of this level and throws it on.
[[noreturn]] void rethrowTraced(const QString& source, TraceKind kind, const QString& procedure);

// Runs `body`; a failure leaving it gets this level's trace line.
//   return traced(kSource, TraceKind::Function, u"CoreLoad"_s, [&] { ... });
template <class F>
auto traced(const QString& source, TraceKind kind, const QString& procedure, F&& body) -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        rethrowTraced(source, kind, procedure);
    }
}

}  // namespace lg
