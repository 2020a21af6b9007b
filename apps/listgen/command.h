#pragma once

// Subcommands of the listgen tool. Each lives in its own file and registers
// itself with a static `RegisterCommand`, so adding one touches nothing else:
//
//   static int runSql(const Args& args);
//   static RegisterCommand reg{{"sql", "--db FILE STATEMENT...", "runs Jet SQL statements", false, &runSql}};

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <optional>
#include <vector>

namespace lg::cli {

// Parsed arguments: "--name value" (or "--name=value") options named in
// `options`, "--flag" switches named in `flags` and positional arguments, in
// order. Any other "--name" is a UsageError, as is a positional argument when
// `positional` is false: a mistyped option never passes unnoticed.
class Args {
public:
    Args(const QStringList& arguments, const QStringList& flags, const QStringList& options = {},
         bool positional = true);

    bool has(const QString& name) const { return m_options.contains(name) || m_flags.contains(name); }
    std::optional<QString> value(const QString& name) const;
    QString value(const QString& name, const QString& fallback) const;
    // The option as a whole number; throws UsageError when it is not one.
    std::optional<long> number(const QString& name) const;
    // The option's value; throws UsageError when it is missing.
    QString required(const QString& name) const;
    const QStringList& positional() const { return m_positional; }

private:
    QHash<QString, QString> m_options;
    QStringList m_flags;
    QStringList m_positional;
};

// A mistake in the command line: printed with the command's usage, exit 2.
struct UsageError {
    QString message;
};

struct Command {
    const char* name;
    const char* usage;    // the arguments, as shown in --help
    const char* summary;  // one line
    bool gui;             // needs a QGuiApplication (fonts, painting)
    int (*run)(const Args& args);
    QStringList flags = {};  // switches that take no value
    // Decides from the arguments whether a QGuiApplication is needed, for a
    // command that paints only in some of its modes (gui is then false).
    bool (*needsGui)(const Args& args) = nullptr;
    QStringList options = {};  // options that take a value; any other is refused
    bool positional = false;   // takes positional arguments
};

class CommandRegistry {
public:
    static void add(const Command& command);
    static const std::vector<Command>& all();
    static const Command* find(const QString& name);
};

struct RegisterCommand {
    explicit RegisterCommand(const Command& command) { CommandRegistry::add(command); }
};

// Writes to stdout / stderr (UTF-8). A failed write to stdout (a full disk,
// a closed pipe) is noticed: the tool then ends with exit code 1.
void printOut(const QString& text);
void printErr(const QString& text);

// Flushes stdout; false, with the reason in `error`, when anything written to
// it since the start was lost.
bool finishStandardOutput(QString* error);

}  // namespace lg::cli
