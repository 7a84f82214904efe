#include "system/FeedUpdateChecker.h"

#include "system/AppcastParser.h"
#include "system/VersionCompare.h"

#include <QDesktopServices>
#include <QFutureWatcher>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPromise>
#include <QThreadPool>

namespace kestrune {

namespace {

constexpr int kTransferTimeoutMs = 15'000;
// Far above any real feed; a server sending more is not sending a feed.
constexpr qint64 kMaxFeedBytes = 4 * 1024 * 1024;

bool isLoopback(const QUrl& url)
{
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

FeedUpdateChecker::FeedUpdateChecker(const QUrl& feedUrl, const QString& currentVersion,
                                     std::optional<LoopbackHttpForTests> loopbackHttp, QObject* parent)
    : QObject(parent), feedUrl_(feedUrl), currentVersion_(currentVersion), loopbackHttp_(loopbackHttp.has_value())
{
    if (feedUrl_.isEmpty())
        state_ = NotConfigured;
}

FeedUpdateChecker::~FeedUpdateChecker()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        delete reply_;
    }
}

void FeedUpdateChecker::check()
{
    if (state_ == Checking)
        return;
    if (feedUrl_.isEmpty())
        return finish(NotConfigured);
    if (!acceptsAddress(feedUrl_))
        return fail(tr("The update feed address must start with https://: %1").arg(feedUrl_.toDisplayString()));

    state_ = Checking;
    latestVersion_.clear();
    downloadUrl_.clear();
    errorText_.clear();
    emit changed();

    if (!network_)
        network_ = new QNetworkAccessManager(this);
    QNetworkRequest request(feedUrl_);
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Kestrune/%1").arg(currentVersion_));
    abortReason_.clear();
    reply_ = network_->get(request);
    QNetworkReply* reply = reply_;
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& target) {
        if (target.scheme() == QLatin1String("https"))
            emit reply->redirectAllowed();
        else
            abortWith(tr("The update feed redirected to an address that is not HTTPS: %1").arg(target.toDisplayString()));
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > kMaxFeedBytes)
            abortWith(tr("The update feed is too large to be a release feed."));
    });
    connect(reply, &QNetworkReply::finished, this, &FeedUpdateChecker::finishReply);
}

bool FeedUpdateChecker::acceptsAddress(const QUrl& url) const
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    return url.scheme() == QLatin1String("https")
        || (loopbackHttp_ && url.scheme() == QLatin1String("http") && isLoopback(url));
}

void FeedUpdateChecker::abortWith(const QString& reason)
{
    if (!reply_ || !abortReason_.isEmpty())
        return;
    abortReason_ = reason;
    reply_->abort();
}

void FeedUpdateChecker::finishReply()
{
    QNetworkReply* reply = reply_;
    if (!reply)
        return;
    reply_ = nullptr;
    reply->deleteLater();

    if (!abortReason_.isEmpty())
        return fail(abortReason_);
    if (reply->error() != QNetworkReply::NoError) {
        // The transfer timeout ends the reply as cancelled; we cancel only
        // with a reason of our own, handled above.
        const bool timedOut = reply->error() == QNetworkReply::OperationCanceledError
            || reply->error() == QNetworkReply::TimeoutError;
        const QString reason = timedOut ? tr("the server did not answer in time") : reply->errorString();
        return fail(tr("The update feed could not be reached: %1").arg(reason));
    }
    // Parsed on a worker thread: whatever a feed holds, the interface stays responsive.
    auto promise = std::make_shared<QPromise<AppcastParseResult>>();
    auto* watcher = new QFutureWatcher<AppcastParseResult>(this);
    const QUrl base = reply->url();
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, base] {
        watcher->deleteLater();
        finishParse(watcher->result(), base);
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, bytes = reply->readAll()] {
        promise->addResult(parseAppcast(bytes));
        promise->finish();
    });
}

void FeedUpdateChecker::finishParse(const AppcastParseResult& feed, const QUrl& base)
{
    if (!feed.error.isEmpty())
        return fail(tr("The update feed could not be read: %1").arg(feed.error));

    const AppcastItem newest = *newestItem(feed.items);
    latestVersion_ = newest.displayVersion;
    const QUrl page = base.resolved(newest.url);
    downloadUrl_ = !newest.url.isEmpty() && acceptsAddress(page) ? page : QUrl();
    finish(compareVersions(newest.displayVersion, currentVersion_) > 0 ? UpdateAvailable : UpToDate);
}

void FeedUpdateChecker::finish(State state, const QString& errorText)
{
    state_ = state;
    errorText_ = errorText;
    if (state != UpToDate && state != UpdateAvailable) {
        latestVersion_.clear();
        downloadUrl_.clear();
    }
    emit changed();
    emit checkFinished();
}

void FeedUpdateChecker::openDownloadPage()
{
    if (acceptsAddress(downloadUrl_))
        QDesktopServices::openUrl(downloadUrl_);
}

} // namespace kestrune
