// kestrune-sim: runs the real engine on the simulated backend from a script
// and prints what reaches the outside, one line per effect.

#include "Script.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

using namespace kestrune;

namespace {

const char* const kUsage =
    "usage: kestrune-sim [SCRIPT]\n"
    "Runs Kestrune's key engine on the simulated backend and prints a transcript.\n"
    "Reads the script from SCRIPT, or from standard input when it is absent or \"-\".\n";

void printErr(const QString& text)
{
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() > 1 || (args.size() == 1 && (args[0] == "-h" || args[0] == "--help"))) {
        std::fputs(kUsage, args.size() == 1 ? stdout : stderr);
        return args.size() == 1 ? 0 : 2;
    }

    QFile file;
    const QString name = args.isEmpty() ? QStringLiteral("-") : args[0];
    const bool fromStdin = name == QLatin1String("-");
    const bool opened = fromStdin ? file.open(stdin, QIODevice::ReadOnly) : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) {
        printErr(QStringLiteral("kestrune-sim: cannot read %1: %2").arg(name, file.errorString()));
        return 2;
    }
    const QString text = QString::fromUtf8(file.readAll());

    QTemporaryDir settingsDir;
    if (!settingsDir.isValid()) {
        printErr(QStringLiteral("kestrune-sim: cannot create a temporary settings folder: %1").arg(settingsDir.errorString()));
        return 2;
    }

    SimHarness harness(settingsDir.path());
    const script::ParseResult parsed = script::parse(text);
    if (!parsed.error.isEmpty()) {
        printErr(QStringLiteral("kestrune-sim: %1: %2").arg(fromStdin ? QStringLiteral("<stdin>") : name, parsed.error));
        return 2;
    }

    QTextStream out(stdout);
    harness.sim.transcript().setEcho([&out](const QString& line) {
        out << line << '\n';
        out.flush();
    });
    harness.launch();
    const QString error = script::run(harness, parsed.lines);
    harness.runOut();
    harness.terminate();
    harness.sim.transcript().setEcho({});
    if (!error.isEmpty()) {
        printErr(QStringLiteral("kestrune-sim: %1").arg(error));
        return 2;
    }
    return 0;
}
