#pragma once
// Looks for a newer release in the project's release feed (an appcast) and
// says what it found. It only reads the feed: nothing is downloaded or run,
// and the user is sent to the release's web page to update.
//
// The feed and the release page it offers must be HTTPS, and redirects are
// followed only to HTTPS (see acceptsAddress). An empty feed address means
// updates come with the distribution's packages: the state is NotConfigured.
// The feed is parsed on a pool thread; the state stays Checking until that
// is done.
//
// Main thread; lives on the thread with the event loop.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace kestrune {

struct AppcastParseResult;

// Lets a checker fetch and offer plain http on this machine. Only the tests
// can make one: its constructor is defined in their support code alone, so
// the application, in every build, fetches and offers https only.
class LoopbackHttpForTests {
public:
    LoopbackHttpForTests();
};

class FeedUpdateChecker : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Created by the application")
    Q_PROPERTY(State state READ state NOTIFY changed)
    Q_PROPERTY(QString currentVersion READ currentVersion CONSTANT)
    Q_PROPERTY(QString latestVersion READ latestVersion NOTIFY changed)
    Q_PROPERTY(QUrl downloadUrl READ downloadUrl NOTIFY changed)
    Q_PROPERTY(QString errorText READ errorText NOTIFY changed)

public:
    enum State { Idle, Checking, UpToDate, UpdateAvailable, Failed, NotConfigured };
    Q_ENUM(State)

    FeedUpdateChecker(const QUrl& feedUrl, const QString& currentVersion,
                      std::optional<LoopbackHttpForTests> loopbackHttp = std::nullopt, QObject* parent = nullptr);
    ~FeedUpdateChecker() override;

    State state() const { return state_; }
    QString currentVersion() const { return currentVersion_; }
    // The feed's newest version once a check succeeded; empty otherwise.
    QString latestVersion() const { return latestVersion_; }
    // That release's page; empty when the feed gave none or acceptsAddress
    // refuses it.
    QUrl downloadUrl() const { return downloadUrl_; }
    // Why the last check failed, for the user; empty unless Failed.
    QString errorText() const { return errorText_; }

    // Whether a feed or a release page at `url` is fetched or offered:
    // https, and plain http on this machine where LoopbackHttpForTests
    // allows it.
    bool acceptsAddress(const QUrl& url) const;

    // Fetches and reads the feed. A check already under way is left to finish.
    Q_INVOKABLE void check();
    // Opens downloadUrl in the browser; does nothing without one.
    Q_INVOKABLE void openDownloadPage();

signals:
    // After any of the published values changed.
    void changed();
    // A check ended (whatever its outcome).
    void checkFinished();

private:
    void finishReply();
    void finishParse(const AppcastParseResult& feed, const QUrl& base);
    void finish(State state, const QString& errorText = {});
    void fail(const QString& errorText) { finish(Failed, errorText); }
    // Stops the transfer; the reply's end then reports `reason`.
    void abortWith(const QString& reason);

    const QUrl feedUrl_;
    const QString currentVersion_;
    const bool loopbackHttp_;
    QNetworkAccessManager* network_ = nullptr; // child
    QPointer<QNetworkReply> reply_;
    QString abortReason_;
    State state_ = Idle;
    QString latestVersion_;
    QUrl downloadUrl_;
    QString errorText_;
};

} // namespace kestrune
