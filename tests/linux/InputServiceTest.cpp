// The input service's core on the pipe rig: a mock logind on a private bus
// says who is at seat0, a real socket carries the conversation, and the
// test is the client.

#include "InputRig.h"
#include "MockLogind.h"

#include "app/InputServiceLink.h"
#include "exclusions/AppExclusionManager.h"
#include "inputd/InputService.h"
#include "inputd/SeatSession.h"
#include "launcher/AppLauncherManager.h"
#include "platform/linux/InputServiceClient.h"
#include "remapper/KeyRemapper.h"

#include <QLocalSocket>
#include <QTemporaryDir>

#include <unistd.h>

namespace kestrune::test {
namespace {

using namespace inputd;
using kestrune::testing::Keys;

// A client that records every byte it sends and every message it gets.
struct Client {
    explicit Client(const QString& path)
    {
        QObject::connect(&socket, &QLocalSocket::readyRead, [this] {
            const QByteArray bytes = socket.readAll();
            decoder.feed(bytes);
            while (std::optional<Message> m = decoder.next())
                received.push_back(*m);
        });
        socket.connectToServer(path);
    }
    void send(const Message& m)
    {
        const QByteArray bytes = encode(m);
        sent += bytes;
        socket.write(bytes);
        socket.flush();
    }
    std::optional<Status> lastStatus() const
    {
        for (auto it = received.rbegin(); it != received.rend(); ++it)
            if (const auto* s = std::get_if<Status>(&*it))
                return *s;
        return std::nullopt;
    }
    bool closed() const { return socket.state() == QLocalSocket::UnconnectedState; }

    QLocalSocket socket;
    FrameDecoder decoder;
    std::vector<Message> received;
    QByteArray sent;
};

class InputServiceTest : public MockLogindTest {
protected:
    void SetUp() override
    {
        MockLogindTest::SetUp();
        keyboard_ = &rig_.io.addKeyboard("/dev/input/event3");
        seat_ = std::make_unique<SeatSession>(subjectBus());
        service_ = std::make_unique<InputService>(
            InputService::Machine{rig_.scheduler, rig_.console, rig_.keyboard, rig_.shell, rig_.devices, rig_.wake,
                                  rig_.trust, rig_.capsLock, &rig_.keyboard},
            *seat_);
        ASSERT_TRUE(dir_.isValid());
        QString error;
        ASSERT_TRUE(service_->listen(socketPath(), &error)) << error.toStdString();
    }
    void TearDown() override
    {
        service_.reset();
        seat_.reset();
        MockLogindTest::TearDown();
    }

    QString socketPath() const { return dir_.filePath(QStringLiteral("inputd.sock")); }

    void seatUser(const QString& session, uint uid)
    {
        callMock(kPath, kMock, QStringLiteral("AddSession"),
                 {session, QStringLiteral("seat0"), uid, QStringLiteral("user%1").arg(uid), true});
        ASSERT_TRUE(waitUntil([&] { return seat_->activeUid() == uid; }));
    }

    // Runs the event loop, the engine's main-queue work and its tap thread
    // until `done`.
    bool pumpUntil(const std::function<bool()>& done)
    {
        QTimer poll;
        poll.start(5);
        return waitUntil([&] {
            if (service_)
                service_->remapper().waitForTapThreadSettled();
            rig_.scheduler.runDue();
            return done();
        });
    }

    // What the virtual keyboard wrote once `keys` were handled.
    Keys typed(std::initializer_list<std::pair<uint16_t, int>> keys)
    {
        for (auto [code, value] : keys)
            keyboard_->key(code, value);
        if (keyboard_->isGrabbed()) {
            EXPECT_TRUE(rig_.keyboard.settle());
        }
        rig_.scheduler.runDue();
        std::vector<std::string> out;
        for (const input_event& e : rig_.io.takeOutput())
            if (e.type == EV_KEY)
                out.push_back(kestrune::testing::keyText(e));
        return out;
    }

    static Settings settings()
    {
        Settings s;
        s.singlePressConfig = 1; // esc
        return s;
    }

    QTemporaryDir dir_;
    kestrune::testing::InputRig rig_;
    PipeKeyboard* keyboard_ = nullptr;
    std::unique_ptr<SeatSession> seat_;
    std::unique_ptr<InputService> service_;
};

TEST_F(InputServiceTest, ATypingSessionSendsUpOnlyEffects)
{
    startLogind();
    seatUser(QStringLiteral("c1"), ::getuid());
    Client client(socketPath());
    ASSERT_TRUE(pumpUntil([&] { return client.lastStatus().has_value(); }));
    EXPECT_EQ(client.lastStatus()->state, Status::State::waiting) << "nothing is read before the settings arrive";
    EXPECT_FALSE(keyboard_->isGrabbed());

    client.send(settings());
    client.send(LauncherKeys{{35}}); // P
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed(); }));
    ASSERT_TRUE(pumpUntil([&] { return client.lastStatus()->state == Status::State::remapping; }));

    // Hyper + H is an arrow, Hyper + P opens an application, letters pass.
    EXPECT_EQ(typed({{KEY_CAPSLOCK, 1}, {KEY_H, 1}, {KEY_H, 0}, {KEY_P, 1}, {KEY_P, 0}, {KEY_CAPSLOCK, 0}}),
              (Keys{"+KEY_LEFT", "-KEY_LEFT"}));
    EXPECT_EQ(typed({{KEY_S, 1}, {KEY_S, 0}, {KEY_E, 1}, {KEY_E, 0}, {KEY_CAPSLOCK, 1}, {KEY_CAPSLOCK, 0}}),
              (Keys{"+KEY_S", "-KEY_S", "+KEY_E", "-KEY_E", "+KEY_ESC", "-KEY_ESC"}));
    ASSERT_TRUE(pumpUntil([&] {
        return std::any_of(client.received.begin(), client.received.end(),
                           [](const Message& m) { return std::holds_alternative<Launch>(m); });
    }));

    // The whole conversation: down only what the client sent, up only
    // effects, and no key but the bound one.
    for (const Message& m : client.received) {
        EXPECT_FALSE(isDown(m));
        if (const auto* launch = std::get_if<Launch>(&m)) {
            EXPECT_EQ(launch->keyCode, 35);
        }
        EXPECT_FALSE(std::holds_alternative<InputModeRequest>(m));
    }

    // A launch still queued when another Kestrune of the user takes over
    // goes to neither: it was for the connection that is gone.
    for (auto [code, value] : {std::pair{KEY_CAPSLOCK, 1}, {KEY_P, 1}, {KEY_P, 0}, {KEY_CAPSLOCK, 0}})
        keyboard_->key(code, value);
    ASSERT_TRUE(rig_.keyboard.settle());
    Client next(socketPath());
    ASSERT_TRUE(waitUntil([&] { return next.lastStatus() && client.closed(); }));
    ASSERT_TRUE(pumpUntil([&] { return !keyboard_->isGrabbed(); }));
    // Whatever was sent before the answer to these settings has arrived.
    next.send(settings());
    ASSERT_TRUE(pumpUntil([&] { return next.lastStatus()->state == Status::State::remapping; }));
    for (const Message& m : next.received)
        EXPECT_FALSE(std::holds_alternative<Launch>(m));
    EXPECT_EQ(std::count_if(client.received.begin(), client.received.end(),
                            [](const Message& m) { return std::holds_alternative<Launch>(m); }),
              1);
}

TEST_F(InputServiceTest, ASwitchToAnotherUserLetsGoAtOnceAndRefusesTheOldClient)
{
    startLogind();
    seatUser(QStringLiteral("c1"), ::getuid());
    Client client(socketPath());
    client.send(settings());
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed(); }));
    keyboard_->press(KEY_LEFTSHIFT); // held across the switch
    EXPECT_EQ(typed({}), (Keys{"+KEY_LEFTSHIFT"}));

    // The service's event loop may carry out the dropped socket's deletion
    // before the socket is next writable (it does on the real kernel's VM
    // stage); the refusal must be out by then.
    QObject::connect(seat_.get(), &SeatSession::changed,
                     [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); });
    seatUser(QStringLiteral("c2"), ::getuid() + 1);
    ASSERT_TRUE(pumpUntil([&] { return !keyboard_->isGrabbed() && client.closed(); }));
    EXPECT_EQ(client.lastStatus()->state, Status::State::refused);
    EXPECT_EQ(typed({}), (Keys{"-KEY_LEFTSHIFT"})) << "the held key is released before the keyboard goes";
    EXPECT_FALSE(rig_.io.hasVirtualKeyboard());

    // The other user's seat: our user is refused, with the reason.
    Client late(socketPath());
    ASSERT_TRUE(pumpUntil([&] { return late.closed() && late.lastStatus(); }));
    EXPECT_EQ(late.lastStatus()->state, Status::State::refused);
    EXPECT_FALSE(late.lastStatus()->reason.isEmpty());
    EXPECT_FALSE(keyboard_->isGrabbed());
}

TEST_F(InputServiceTest, NothingIsReadWithoutLogindOrAfterABadMessage)
{
    // No logind: the client is refused and nothing is grabbed.
    Client early(socketPath());
    ASSERT_TRUE(pumpUntil([&] { return early.closed(); }));
    EXPECT_EQ(early.lastStatus()->state, Status::State::refused);

    startLogind();
    seatUser(QStringLiteral("c1"), ::getuid());
    Client client(socketPath());
    client.send(settings());
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed(); }));

    // A message only the service sends, from the client: it is cut off.
    client.send(Launch{35});
    ASSERT_TRUE(pumpUntil([&] { return client.closed() && !keyboard_->isGrabbed(); }));
    EXPECT_FALSE(service_->hasClient());

    // logind going away also lets go.
    Client again(socketPath());
    again.send(settings());
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed(); }));
    stopProcess(mock_);
    ASSERT_TRUE(pumpUntil([&] { return !keyboard_->isGrabbed(); }));
}

// The application's side: its own engine, launcher and HUD, with the
// service's tap and access standing in for its own.
struct App {
    explicit App(kestrune::testing::InputRig& rig, const QString& socket)
        : rig(rig), client(rig.scheduler, socket)
    {
        workspace.addApplication(QStringLiteral("/apps/foot.desktop"), {QStringLiteral("foot"), QStringLiteral("Foot"), {}});
        launcher.addShortcut(QUrl::fromLocalFile(QStringLiteral("/apps/foot.desktop")), 35); // P
        launcher.setEnabled(true);
        remapper.start();
    }
    ~App()
    {
        remapper.stop();
        remapper.waitForTapThreadSettled();
    }

    struct Hud : HudRequests {
        void showHyperHUD(Millis) override { ++shows; }
        void hideHyperHUD() override {}
        void setPendingHyperConfig(config::HyperKeyConfig) override {}
        void showInputModeHUD(InputMode) override {}
        int shows = 0;
    };

    kestrune::testing::InputRig& rig;
    MemoryDefaults defaults;
    SimTranscript transcript{rig.scheduler};
    SimConsole console{transcript};
    SimShell shell{transcript};
    SimDevices devices;
    SimWake wake;
    SimCapsLock capsLock{transcript};
    SimWorkspace workspace{rig.scheduler};
    SimLoginItem loginItem;
    SimUpdates updates;
    InputServiceClient client;
    ServiceKeyboard keyboard{client};
    int trustShown = 0;
    ServiceTrust trust{client, [this] { ++trustShown; }};
    Platform platform{rig.scheduler, defaults, console,   keyboard,  shell,   devices, wake,
                      trust,         capsLock, workspace, loginItem, updates, nullptr};
    AppExclusionManager exclusions{defaults, workspace, rig.scheduler};
    AppLauncherManager launcher{defaults, workspace, rig.scheduler, console};
    Hud hud;
    KeyRemapper remapper{platform, {&exclusions, &launcher, &hud, nullptr}};
    InputServiceLink link{client, {remapper, launcher, exclusions, hud, nullptr, {}}};
};

TEST_F(InputServiceTest, TheApplicationWorksThroughTheServiceAndSaysWhyWhenItCannot)
{
    startLogind();
    seatUser(QStringLiteral("c1"), ::getuid());
    App app(rig_, socketPath());
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed() && app.remapper.hasEventTap(); }));
    EXPECT_EQ(app.remapper.status()->state(), RemapperStatus::Working);

    // Caps + P opens the bound application; the HUD shows on the app's side.
    EXPECT_EQ(typed({{KEY_CAPSLOCK, 1}, {KEY_P, 1}, {KEY_P, 0}, {KEY_CAPSLOCK, 0}}), Keys{});
    ASSERT_TRUE(pumpUntil([&] { return !app.workspace.openedApplications.isEmpty(); }));
    EXPECT_EQ(app.workspace.openedApplications, QStringList{QStringLiteral("/apps/foot.desktop")});
    EXPECT_GT(app.hud.shows, 0);

    // The service lists its keyboards for the Keyboards window, and one the
    // user switches off there is let go, and taken again when switched on.
    ServiceKeyboardRoster roster(app.client);
    roster.setChoices({}); // as the Keyboards model does when it starts
    ASSERT_TRUE(pumpUntil([&] { return roster.keyboards().size() == 1; }));
    EXPECT_EQ(roster.keyboards()[0].identity.name, "/dev/input/event3");
    KeyboardChoices choices;
    choices.remap[roster.keyboards()[0].key] = false;
    roster.setChoices(choices);
    ASSERT_TRUE(pumpUntil([&] { return !keyboard_->isGrabbed() && !roster.keyboards()[0].remapped; }));
    EXPECT_EQ(typed({{KEY_CAPSLOCK, 1}, {KEY_CAPSLOCK, 0}}), Keys{});
    roster.setChoices({});
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed(); }));

    // Pausing in the app lets go of the keyboards in the service.
    app.remapper.setIsEnabled(false);
    ASSERT_TRUE(pumpUntil([&] { return !keyboard_->isGrabbed(); }));
    app.remapper.setIsEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed(); }));

    // The emergency chord on a keyboard the service reads: the service lets
    // go at once, and the app pauses with it and says why.
    for (uint16_t code : {KEY_ESC, KEY_BACKSPACE, KEY_ENTER})
        keyboard_->press(code);
    ASSERT_TRUE(pumpUntil([&] {
        return !keyboard_->isGrabbed() && app.remapper.status()->reason() == RemapperStatus::PausedByEmergency;
    }));
    for (uint16_t code : {KEY_ENTER, KEY_BACKSPACE, KEY_ESC})
        keyboard_->release(code);
    app.remapper.setIsEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed(); }));

    // Another user at the seat: the app says so, with the service's reason.
    seatUser(QStringLiteral("c2"), ::getuid() + 1);
    ASSERT_TRUE(pumpUntil([&] { return app.remapper.status()->reason() == RemapperStatus::TapFailed; }));
    EXPECT_TRUE(app.remapper.status()->detail().contains(QStringLiteral("Another session is in front")))
        << app.remapper.status()->detail().toStdString();
    EXPECT_FALSE(keyboard_->isGrabbed());

    // Our user back at the front: the client comes back by itself.
    seatUser(QStringLiteral("c3"), ::getuid());
    rig_.scheduler.advanceBy(InputServiceClient::kRetryDelay);
    ASSERT_TRUE(pumpUntil([&] { return keyboard_->isGrabbed() && app.remapper.hasEventTap(); }));

    // The service gone: no access, and "Fix" is offered.
    service_.reset();
    ASSERT_TRUE(pumpUntil([&] { return app.remapper.status()->reason() == RemapperStatus::NoInputAccess; }));
    EXPECT_FALSE(app.trust.isTrusted());
}

} // namespace
} // namespace kestrune::test
