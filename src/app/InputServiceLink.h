#pragma once
// The application as the input service's client: what the user configures
// goes down to the service, and what the service asks for (heads-up
// displays, an input-mode switch, opening a bound application) is done here
// by the same models that do it in-process. The application's engine keeps
// its settings, status and notices; its tap stands for the service's (see
// ServiceKeyboard) and is made anew whenever the service's state changes.
//
// Main thread. Everything passed in outlives the link.

#include <QObject>

#include <functional>

namespace kestrune {

class AppExclusionManager;
class AppLauncherManager;
class HudRequests;
class InputMethod;
class InputServiceClient;
class KeyRemapper;
class SessionMonitor;

class InputServiceLink final : public QObject {
    Q_OBJECT

public:
    struct Models {
        KeyRemapper& remapper;
        AppLauncherManager& launcher;
        AppExclusionManager& exclusions;
        HudRequests& hud;
        InputMethod* inputMethod = nullptr; // null: Eisu and Kana are typed as keys
        // Whether the input method can switch now (sent with the settings).
        std::function<bool()> canSwitchInputMethod;
    };

    InputServiceLink(InputServiceClient& client, Models models, QObject* parent = nullptr);

    // The input method came or went: the service is told with the settings.
    void inputMethodChanged() { sendSettings(); }

private:
    void sendAll();
    void sendSettings();
    void sendLauncherKeys();
    void sendExcluded();
    void serviceStateChanged();

    InputServiceClient& client_;
    Models m_;
    bool wasUsable_ = false;
};

} // namespace kestrune
