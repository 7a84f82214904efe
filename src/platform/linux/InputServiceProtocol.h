#pragma once
// The conversation between the input service (kestrune-inputd, which owns
// the keyboards and the engine) and the tray application of the user at the
// seat, over one stream socket under /run.
//
// Every message is one frame: an 8-byte header, then its payload.
//   u32 payload size (little-endian, at most kMaxPayload)
//   u16 protocol version (kVersion)
//   u16 message type
// A peer that sends a frame it cannot decode (another version, a size over
// the cap, an unknown type, a payload of the wrong shape) is disconnected:
// nothing in it is guessed at.
//
// What may cross is fixed by the message set itself. Down, from the
// application: the settings the engine needs (pausing and resuming are its
// "enabled" switch), the bound launcher keys and the frontmost application's
// exclusion verdict, the keyboards to leave alone. Up, from the service: its status, the heads-up
// displays' show and hide, the input mode to switch to, the launcher key
// pressed (only a bound one) and the keyboards it has open. No message carries a key event, an unbound
// key's code or a time of typing.

#include "platform/InputMethod.h"
#include "platform/KeyboardRoster.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

namespace kestrune::inputd {

// Where the packaged service listens (its systemd RuntimeDirectory).
inline constexpr const char* kSocketPath = "/run/kestrune/inputd.sock";
inline constexpr uint16_t kVersion = 1;
inline constexpr uint32_t kMaxPayload = 4096;
inline constexpr size_t kHeaderSize = 8;
inline constexpr size_t kMaxReasonBytes = 1024;
// Launcher keys are virtual key codes below this.
inline constexpr uint16_t kKeyCodeLimit = 256;
// How many values each of the engine's enumerations has (config::kAll…),
// so that the decoder needs nothing of the engine.
inline constexpr uint8_t kHyperKeyConfigCount = 11;
inline constexpr uint8_t kSinglePressConfigCount = 3;
inline constexpr uint8_t kCmdEisuKanaConfigCount = 2;
inline constexpr uint8_t kVimModeConfigCount = 2;

// --- Down: application → service -------------------------------------------

// The engine's settings, as the application's settings store holds them.
// The enumerations travel as their values in config:: (checked on decode).
struct Settings {
    bool isEnabled = true;
    bool isHyperKeyEnabled = true;
    bool isSinglePressEnabled = true;
    bool isCmdEisuKanaEnabled = false;
    bool isCapsLockDoubleTapEnabled = false;
    bool isVimModeEnabled = true;
    uint8_t hyperKeyConfig = 0;
    uint8_t singlePressConfig = 0;
    uint8_t cmdEisuKanaConfig = 0;
    uint8_t vimModeConfig = 0;
    // The application can drive an input method: Eisu and Kana go up as
    // input-mode requests instead of being typed as keys.
    bool hasInputMethod = false;
    bool operator==(const Settings&) const = default;
};

// The keys bound to applications while the launcher is on (sorted, unique).
struct LauncherKeys {
    std::vector<uint16_t> keyCodes;
    bool operator==(const LauncherKeys&) const = default;
};

struct Excluded {
    bool excluded = false;
    bool operator==(const Excluded&) const = default;
};

// Which keyboards to remap: as KeyboardChoices, at most kMaxChoices keys of
// at most kMaxKeyBytes each; the encoder keeps those that fit in one frame,
// in the order given (the caller puts the keyboards present first).
inline constexpr size_t kMaxChoices = 64;
inline constexpr size_t kMaxKeyBytes = 200;
struct KeyboardChoiceList {
    bool remapNew = true;
    std::vector<std::pair<std::string, bool>> choices; // key, remap
    bool operator==(const KeyboardChoiceList&) const = default;
};

// --- Up: service → application ---------------------------------------------

struct Status {
    enum class State : uint8_t {
        remapping = 0,   // keys of this user's seat go through the engine
        paused = 1,      // the client paused it; with a reason, the emergency chord did
        waiting = 2,     // nothing grabbed: no settings yet, or the session is not in front
        failing = 3,     // the keyboards cannot be read or the virtual keyboard made; see reason
        refused = 4,     // this client is not the active local session's user; see reason
    };
    State state = State::waiting;
    QString reason; // in the user's words; at most kMaxReasonBytes of UTF-8
    bool operator==(const Status&) const = default;
};

// The heads-up displays the engine asks for.
struct Hud {
    enum class Action : uint8_t { showHyper = 0, hideHyper = 1, pendingHyper = 2, showInputMode = 3 };
    Action action = Action::hideHyper;
    uint32_t delayMs = 0; // showHyper: after this long, if Caps Lock is still held
    uint8_t value = 0;    // pendingHyper: the HyperKeyConfig shown next; showInputMode: 0 Eisu, 1 Kana
    bool operator==(const Hud&) const = default;
};

// Switch the session's input method (the application reaches it; the
// service cannot). The application shows the mode reached.
struct InputModeRequest {
    InputMode mode = InputMode::eisu;
    bool operator==(const InputModeRequest&) const = default;
};

// A bound launcher key was pressed with Hyper: open its application.
struct Launch {
    uint16_t keyCode = 0;
    bool operator==(const Launch&) const = default;
};

// The keyboards the service has open: at most kMaxKeyboards, names and
// physical paths cut to kMaxKeyboardText bytes.
inline constexpr size_t kMaxKeyboards = 16;
inline constexpr size_t kMaxKeyboardText = 96;
struct Keyboards {
    std::vector<PresentKeyboard> keyboards;
    bool operator==(const Keyboards&) const = default;
};

enum class Type : uint16_t {
    settings = 1,
    launcherKeys = 2,
    excluded = 3,
    keyboardChoices = 4,
    status = 64,
    hud = 65,
    inputMode = 66,
    launch = 67,
    keyboards = 68,
};

using Message = std::variant<Settings, LauncherKeys, Excluded, KeyboardChoiceList, Status, Hud, InputModeRequest,
                             Launch, Keyboards>;

// Which way a message may travel: a peer receiving a message of the other
// direction treats it as undecodable.
bool isDown(const Message& message);

// The whole frame, header included.
QByteArray encode(const Message& message);

// Reads frames from a byte stream. After the first error every later call
// returns nothing: the connection is to be closed.
class FrameDecoder {
public:
    // Appends received bytes. Returns false (and sets error()) when the
    // buffered header already shows a bad frame.
    bool feed(const char* data, size_t size);
    bool feed(const QByteArray& bytes) { return feed(bytes.constData(), static_cast<size_t>(bytes.size())); }
    // The next whole message, or nullopt when more bytes are needed or the
    // stream is broken.
    std::optional<Message> next();
    bool failed() const { return !error_.isEmpty(); }
    QString error() const { return error_; }

private:
    bool checkHeader();
    uint32_t headerField(size_t at, size_t width) const;

    QByteArray buffer_;
    QString error_;
};

// Decodes one payload of the given type; nullopt when it is malformed.
std::optional<Message> decodePayload(Type type, const QByteArray& payload);

} // namespace kestrune::inputd
