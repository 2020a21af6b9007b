#include "command.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include <unistd.h>

#include "platform/runtimeerror.h"
#include "platform/version.h"

namespace lg::cli {

Args::Args(const QStringList& arguments, const QStringList& flags, const QStringList& options, bool positional)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (a.startsWith(QLatin1String("--")) && a.size() > 2) {
            QString name = a.mid(2);
            const qsizetype eq = name.indexOf(QLatin1Char('='));
            const QString bare = eq > 0 ? name.left(eq) : name;
            if (flags.contains(bare)) {
                if (eq > 0)
                    throw UsageError{QStringLiteral("--%1 takes no value").arg(bare)};
                m_flags.append(name);
                continue;
            }
            if (!options.contains(bare))
                throw UsageError{QStringLiteral("unknown option --%1").arg(bare)};
            if (m_options.contains(bare))
                throw UsageError{QStringLiteral("--%1 is given twice").arg(bare)};
            if (eq > 0)
                m_options.insert(bare, name.mid(eq + 1));
            else if (i + 1 < arguments.size())
                m_options.insert(name, arguments.at(++i));
            else
                throw UsageError{QStringLiteral("option --%1 needs a value").arg(name)};
        } else if (positional) {
            m_positional.append(a);
        } else {
            throw UsageError{QStringLiteral("unexpected argument \"%1\"").arg(a)};
        }
    }
}

std::optional<QString> Args::value(const QString& name) const
{
    auto it = m_options.constFind(name);
    if (it == m_options.constEnd())
        return std::nullopt;
    return *it;
}

QString Args::value(const QString& name, const QString& fallback) const { return value(name).value_or(fallback); }

std::optional<long> Args::number(const QString& name) const
{
    auto v = value(name);
    if (!v)
        return std::nullopt;
    bool ok = false;
    const long n = v->toLong(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("--%1 takes a whole number, not \"%2\"").arg(name, *v)};
    return n;
}

QString Args::required(const QString& name) const
{
    auto v = value(name);
    if (!v)
        throw UsageError{QStringLiteral("missing --%1").arg(name)};
    return *v;
}

static std::vector<Command>& registry()
{
    static std::vector<Command> commands;
    return commands;
}

void CommandRegistry::add(const Command& command) { registry().push_back(command); }

const std::vector<Command>& CommandRegistry::all()
{
    auto& r = registry();
    std::sort(r.begin(), r.end(), [](const Command& a, const Command& b) { return qstrcmp(a.name, b.name) < 0; });
    return r;
}

const Command* CommandRegistry::find(const QString& name)
{
    for (const Command& c : registry())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

void printOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

bool finishStandardOutput(QString* error)
{
    // The stream's error flag stays set after any failed write, so one check
    // at the end covers every write of the command.
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !std::ferror(stdout))
        return true;
    if (error)
        *error = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("write error");
    return false;
}

void printErr(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

static void printHelp()
{
    QString text = QStringLiteral(
        "listgen %1 - design, store, run and export tabular lists\n\n"
        "Usage: listgen COMMAND [OPTIONS]\n\nCommands:\n")
                       .arg(QStringLiteral(LISTGEN_VERSION));
    for (const Command& c : CommandRegistry::all())
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(QLatin1String(c.name), QString::fromUtf8(c.usage), QString::fromUtf8(c.summary));
    text += QStringLiteral("\nOptions:\n  --help     this text\n  --version  the version\n");
    printOut(text);
}

}  // namespace lg::cli

int main(int argc, char** argv)
{
    using namespace lg::cli;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    // A closed pipe is a write error like any other, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    auto outputLost = [](const QString& who) {
        QString why;
        if (finishStandardOutput(&why))
            return false;
        printErr(QStringLiteral("%1: cannot write the standard output: %2\n").arg(who, why));
        return true;
    };

    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h")
        || arguments.first() == QLatin1String("help")) {
        printHelp();
        if (outputLost(QStringLiteral("listgen")))
            return 1;
        return arguments.isEmpty() ? 2 : 0;
    }
    if (arguments.first() == QLatin1String("--version")) {
        printOut(QStringLiteral("listgen %1\n").arg(QStringLiteral(LISTGEN_VERSION)));
        return outputLost(QStringLiteral("listgen")) ? 1 : 0;
    }
    const Command* command = CommandRegistry::find(arguments.first());
    if (!command) {
        printErr(QStringLiteral("listgen: unknown command \"%1\"; see listgen --help\n").arg(arguments.first()));
        return 2;
    }

    std::optional<Args> parsed;
    try {
        parsed.emplace(arguments.mid(1), command->flags + QStringList{QStringLiteral("help")}, command->options,
                       command->positional);
    } catch (const UsageError& e) {
        printErr(QStringLiteral("listgen %1: %2\nUsage: listgen %1 %3\n")
                     .arg(QLatin1String(command->name), e.message, QString::fromUtf8(command->usage)));
        return 2;
    }
    const Args& args = *parsed;
    const QString who = QStringLiteral("listgen ") + QLatin1String(command->name);
    if (args.has(QStringLiteral("help"))) {
        printOut(QStringLiteral("Usage: listgen %1 %2\n%3\n")
                     .arg(QLatin1String(command->name), QString::fromUtf8(command->usage),
                          QString::fromUtf8(command->summary)));
        return outputLost(who) ? 1 : 0;
    }

    std::unique_ptr<QCoreApplication> app;
    if (command->gui || (command->needsGui && command->needsGui(args))) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            // Without a session there is no runtime folder; give Qt a private one.
            if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
                const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/listgen-runtime-" + QByteArray::number(getuid());
                if (QDir().mkpath(QString::fromLocal8Bit(dir))) {
                    QFile::setPermissions(QString::fromLocal8Bit(dir),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                    qputenv("XDG_RUNTIME_DIR", dir);
                }
            }
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    const QString name = QLatin1String(command->name);
    try {
        const int rc = command->run(args);
        if (outputLost(who))
            return 1;
        return rc;
    } catch (const UsageError& e) {
        printErr(QStringLiteral("listgen %1: %2\nUsage: listgen %1 %3\n")
                     .arg(QLatin1String(command->name), e.message, QString::fromUtf8(command->usage)));
        return 2;
    } catch (const lg::RuntimeError& e) {
        outputLost(who);
        printErr(QStringLiteral("listgen %1: %2\n").arg(name, e.description()));
        return 1;
    } catch (const std::exception& e) {
        outputLost(who);
        printErr(QStringLiteral("listgen %1: %2\n").arg(name, QString::fromUtf8(e.what())));
        return 1;
    }
}
