#include "platform/linux/LinuxInputMethod.h"

#include "platform/linux/DBusCall.h"

#include <QDBusServiceWatcher>

namespace kestrune {

namespace {
const QString kShell = QStringLiteral("org.gnome.Shell");
// ibus-daemon's own presence on the session bus.
const QString kIBusPortal = QStringLiteral("org.freedesktop.portal.IBus");
} // namespace

LinuxInputMethod::LinuxInputMethod(Scheduler& scheduler, const QDBusConnection& sessionBus,
                                   std::function<void()> pressHiragana, QProcessEnvironment environment,
                                   QObject* parent)
    : QObject(parent), QueuedInputMethod(scheduler), bus_(sessionBus), fcitx_(sessionBus, std::move(pressHiragana)),
      ibus_(std::move(environment))
{
    if (!bus_.isConnected())
        return;
    watcher_ = new QDBusServiceWatcher(this);
    watcher_->setConnection(bus_);
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
    watcher_->setWatchedServices({Fcitx5Switch::kService, kIBusPortal, kShell});
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this](const QString& name) {
        // A restarted fcitx5 may offer engines installed meanwhile.
        if (name == Fcitx5Switch::kService)
            fcitx_.forgetInputMethods();
        detect();
    });
    detect();
}

LinuxInputMethod::~LinuxInputMethod() = default;

void LinuxInputMethod::askOwned(const QString& name, std::function<void(bool)> then)
{
    QDBusMessage m = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                    QStringLiteral("/org/freedesktop/DBus"),
                                                    QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    m.setArguments({name});
    dbus::callAsync(bus_, m, this, [then = std::move(then)](const QDBusMessage& reply) {
        then(!dbus::failed(reply) && !reply.arguments().isEmpty() && reply.arguments().at(0).toBool());
    });
}

void LinuxInputMethod::detect()
{
    const int generation = ++generation_;
    if (!bus_.isConnected()) {
        settle(Framework::none, {}, std::nullopt, true, generation);
        return;
    }
    askOwned(Fcitx5Switch::kService, [this, generation](bool fcitx5) {
        if (fcitx5) {
            fcitx_.findEngine([this, generation](std::optional<Fcitx5Switch::Engine> engine) {
                settle(Framework::fcitx5, QStringLiteral("fcitx5"),
                       engine ? std::optional(engine->name) : std::nullopt, true, generation);
            });
            return;
        }
        askOwned(kShell, [this, generation](bool gnome) {
            if (!ibus_.connectToDaemon()) {
                settle(Framework::none, {}, std::nullopt, true, generation);
                return;
            }
            ibus_.setShell(gnome ? std::optional(bus_) : std::nullopt);
            ibus_.findEngine([this, gnome, generation](std::optional<IBusSwitch::Engine> engine, bool shellAnswered) {
                settle(Framework::ibus, gnome ? QStringLiteral("IBus (GNOME Shell)") : QStringLiteral("IBus"),
                       engine ? std::optional(engine->name) : std::nullopt, !gnome || shellAnswered, generation);
            });
        });
    });
}

void LinuxInputMethod::settle(Framework framework, QString frameworkName, std::optional<QString> engineName,
                              bool shellExtension, int generation)
{
    if (generation != generation_)
        return; // a later look is under way
    framework_ = framework;
    frameworkName_ = std::move(frameworkName);
    engineName_ = std::move(engineName);
    shellExtension_ = shellExtension;
    problem_.clear();
    setAvailable(framework != Framework::none);
    emit summaryChanged();
    emit detected();
}

QString LinuxInputMethod::driven() const
{
    if (framework_ == Framework::none)
        return {};
    return engineName_ ? tr("%1 with %2").arg(frameworkName_, *engineName_) : frameworkName_;
}

QString LinuxInputMethod::summary() const
{
    QString text;
    if (framework_ == Framework::none)
        text = tr("No input method (fcitx5 or IBus) is running: Eisu and Kana are sent as the Hanja and Hangul keys, "
                  "which an input method may read as other switches.");
    else if (!shellExtension_)
        text = tr("Turn on Kestrune's GNOME Shell extension, so that Kana can select the Japanese input source.");
    else if (!engineName_)
        text = tr("%1 has no Japanese input method set up: add Mozc or Anthy to it, so that Kana can turn Japanese "
                  "input on.")
                   .arg(frameworkName_);
    else
        text = tr("Eisu and Kana switch %1.").arg(driven());
    if (!problem_.isEmpty())
        text += QLatin1Char(' ') + tr("The last switch failed: %1").arg(problem_);
    return text;
}

void LinuxInputMethod::begin(InputMode mode)
{
    auto then = [this](std::optional<InputMode> reachedMode, const QString& problem) { done(reachedMode, problem); };
    switch (framework_) {
    case Framework::fcitx5:
        if (mode == InputMode::eisu) {
            fcitx_.switchTo(mode, std::nullopt, then);
            return;
        }
        // The group may have changed since the last look.
        fcitx_.findEngine([this, mode, then](std::optional<Fcitx5Switch::Engine> engine) {
            fcitx_.switchTo(mode, engine, then);
        });
        return;
    case Framework::ibus:
        if (!ibus_.connectToDaemon()) {
            done(std::nullopt, tr("IBus is not running."));
            detect();
            return;
        }
        if (mode == InputMode::eisu) {
            ibus_.switchTo(mode, std::nullopt, then);
            return;
        }
        ibus_.findEngine([this, mode, then](std::optional<IBusSwitch::Engine> engine, bool) {
            ibus_.switchTo(mode, engine, then);
        });
        return;
    case Framework::none:
        done(std::nullopt, {});
        return;
    }
}

void LinuxInputMethod::done(std::optional<InputMode> reachedMode, const QString& problem)
{
    if (problem != problem_) {
        problem_ = problem;
        emit summaryChanged();
    }
    finish(reachedMode);
}

} // namespace kestrune
