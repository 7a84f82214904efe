#include "onboarding/WelcomeWindowController.h"

#include <QQuickItem>
#include <QQuickView>

namespace kestrune {

WelcomeWindowController::WelcomeWindowController(QQmlEngine& engine, UserDefaults& defaults, Scheduler& scheduler,
                                                 QObject* inputAccess, std::function<void()> showPointer,
                                                 QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
    , scheduler_(scheduler)
    , showPointer_(std::move(showPointer))
    , window_(engine,
              {QUrl(QStringLiteral("qrc:/qt/qml/Kestrune/Onboarding/WelcomeView.qml")),
               QStringLiteral(QT_TRANSLATE_NOOP("WelcomeView", "Welcome to Kestrune")),
               "WelcomeView",
               {{QStringLiteral("inputAccess"), QVariant::fromValue(inputAccess)}},
               // In front when it opens, not kept above: the guide sends the
               // user to a terminal (or System Settings) that must come over it.
               false})
{
    connect(&window_, &QuickWindowController::shown, this, [this] {
        if (QQuickItem* view = window_.view())
            connect(view, SIGNAL(getStarted()), this, SLOT(getStarted()), Qt::UniqueConnection);
    });
}

void WelcomeWindowController::showWelcomeWindow()
{
    window_.showWindow();
}

void WelcomeWindowController::setPresented(bool presented)
{
    if (!presented)
        window_.close();
}

void WelcomeWindowController::getStarted()
{
    // Recorded first: a crash from here on must not bring the guide back.
    defaults_.setValue(kHasSeenOnboardingKey, true);
    setPresented(false);
    QPointer<WelcomeWindowController> self(this);
    pointerWork_ = scheduler_.postAfter(kPointerDelay, [self] {
        if (self && self->showPointer_)
            self->showPointer_();
    });
}

} // namespace kestrune
