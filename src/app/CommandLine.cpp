#include "app/CommandLine.h"

#include "app/SingleInstance.h"
#ifdef KESTRUNE_LINUX_BACKEND
#include "app/LinuxBackend.h"
#endif
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <cstdio>

namespace kestrune {

namespace {

// How long --quit waits for the running instance to finish its reset.
constexpr Millis kQuitWait{10000};

// The texts' context in the catalogues.
class Text {
    Q_DECLARE_TR_FUNCTIONS(kestrune::CommandLine)
};

void print(std::FILE* stream, const QString& line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QString helpText()
{
    QString help = commandLineUsage() + QStringLiteral("\n\n");
    help += Text::tr("Kestrune turns Caps Lock into a Hyper key. It lives in the system tray; starting it again shows "
                 "the panel of the one already running.");
    help += QStringLiteral("\n\n") + Text::tr("Options:") + QLatin1Char('\n');
    const auto option = [&help](const QString& name, const QString& meaning) {
        help += QStringLiteral("  %1  %2\n").arg(name.leftJustified(28), meaning);
    };
    option(QStringLiteral("--show"), Text::tr("show the settings panel of the running Kestrune (start it if none runs)"));
    option(QStringLiteral("--quit"), Text::tr("ask the running Kestrune to quit; it resets the keyboard as it goes"));
    option(QStringLiteral("--pause"), Text::tr("pause the running Kestrune: every key passes untouched until resumed"));
    option(QStringLiteral("--resume"), Text::tr("resume remapping in the running Kestrune"));
#ifdef KESTRUNE_LINUX_BACKEND
    option(QStringLiteral("--print-active-app [SECONDS]"),
           Text::tr("print the applications that come to the front, as exclusions see them (for 10 seconds)"));
#endif
    option(QStringLiteral("-h, --help"), Text::tr("show this help and exit"));
    option(QStringLiteral("--version"), Text::tr("show the version and exit"));
#ifdef KESTRUNE_LINUX_BACKEND
    help += QLatin1Char('\n') + Text::tr("More in %1 and in the manual page (man kestrune).").arg(installedReadme());
#endif
    return help.trimmed();
}

int quitRunningInstance()
{
    SingleInstance instance(SingleInstance::defaultFolder());
    switch (instance.send(SingleInstance::Request::quit)) {
    case SingleInstance::Delivery::noInstance:
        print(stdout, Text::tr("Kestrune is not running."));
        return 0;
    case SingleInstance::Delivery::untrusted:
        print(stderr, instance.problem());
        return 1;
    case SingleInstance::Delivery::noAnswer:
        print(stderr, Text::tr("Kestrune is running but did not answer; it was not asked to quit."));
        return 1;
    case SingleInstance::Delivery::delivered:
        break;
    }
    if (!instance.waitUntilGone(kQuitWait)) {
        print(stderr, Text::tr("Kestrune was asked to quit but is still running after %1 seconds.")
                          .arg(kQuitWait.count() / 1000));
        return 1;
    }
    print(stdout, Text::tr("Kestrune has quit."));
    return 0;
}

// --pause and --resume: the running instance does as its status dot does.
int pauseRunningInstance(bool pause)
{
    SingleInstance instance(SingleInstance::defaultFolder());
    switch (instance.send(pause ? SingleInstance::Request::pause : SingleInstance::Request::resume)) {
    case SingleInstance::Delivery::noInstance:
        print(stderr, Text::tr("Kestrune is not running."));
        return 1;
    case SingleInstance::Delivery::untrusted:
        print(stderr, instance.problem());
        return 1;
    case SingleInstance::Delivery::noAnswer:
        print(stderr, pause ? Text::tr("Kestrune is running but did not answer; it was not paused.")
                            : Text::tr("Kestrune is running but did not answer; it was not resumed."));
        return 1;
    case SingleInstance::Delivery::delivered:
        break;
    }
    print(stdout, pause ? Text::tr("Kestrune is paused: keys pass untouched.") : Text::tr("Kestrune is remapping."));
    return 0;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine command;
    for (const QString& argument : arguments) {
        Action action = Action::refuse;
        if (argument == QLatin1String("--show"))
            action = Action::show;
        else if (argument == QLatin1String("--quit"))
            action = Action::quit;
        else if (argument == QLatin1String("--pause"))
            action = Action::pause;
        else if (argument == QLatin1String("--resume"))
            action = Action::resume;
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            action = Action::help;
        else if (argument == QLatin1String("--version"))
            action = Action::version;
        else if (argument.startsWith(QLatin1Char('-')))
            return {Action::refuse, QT_TRANSLATE_NOOP("kestrune::CommandLine", "unknown option “%1”"), argument};
        else
            return {Action::refuse, QT_TRANSLATE_NOOP("kestrune::CommandLine", "unexpected argument “%1”"),
                    argument};
        if (command.action != Action::run && command.action != action)
            return {Action::refuse, QT_TRANSLATE_NOOP("kestrune::CommandLine", "give one option at a time: “%1”"),
                    argument};
        command.action = action;
    }
    return command;
}

QString commandLineUsage()
{
#ifdef KESTRUNE_LINUX_BACKEND
    return Text::tr("Usage: kestrune [--show | --quit | --pause | --resume | --print-active-app [SECONDS] | --help | "
                    "--version]");
#else
    return Text::tr("Usage: kestrune [--show | --quit | --pause | --resume | --help | --version]");
#endif
}

int runCommandLine(const CommandLine& command, int argc, char* argv[])
{
    // Texts in the user's language; nothing here needs a display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrune"));
    Translations translations;
    translations.install(QLocale());
    switch (command.action) {
    case CommandLine::Action::help:
        print(stdout, helpText());
        return 0;
    case CommandLine::Action::version:
        print(stdout, QStringLiteral("Kestrune ") + QStringLiteral(PROJECT_VERSION));
        return 0;
    case CommandLine::Action::quit:
        return quitRunningInstance();
    case CommandLine::Action::pause:
    case CommandLine::Action::resume:
        return pauseRunningInstance(command.action == CommandLine::Action::pause);
    case CommandLine::Action::refuse:
        print(stderr, QStringLiteral("kestrune: ")
                          + QCoreApplication::translate("kestrune::CommandLine", command.error).arg(command.argument));
        print(stderr, commandLineUsage());
        return 2;
    case CommandLine::Action::run:
    case CommandLine::Action::show:
        break;
    }
    return 0;
}

} // namespace kestrune
