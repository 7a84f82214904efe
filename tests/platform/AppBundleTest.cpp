#include "platform/AppBundle.h"
#include "platform/LoginItemApproval.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

BundleFacts app(const QString& path)
{
    BundleFacts facts;
    facts.path = path;
    facts.isBundle = true;
    return facts;
}

TEST(AppBundle, NamesAnApplicationByItsDisplayNameThenBundleNameThenFileName)
{
    BundleFacts facts = app(QStringLiteral("/Applications/Visual Studio Code.app"));
    facts.identifier = QStringLiteral("com.microsoft.VSCode");
    facts.packageType = QStringLiteral("APPL");
    facts.bundleName = QStringLiteral("Code");
    facts.displayName = QStringLiteral("  Visual Studio Code ");
    auto identity = applicationIdentity(facts);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->bundleId, QStringLiteral("com.microsoft.VSCode"));
    EXPECT_EQ(identity->name, QStringLiteral("Visual Studio Code"));

    facts.displayName = QStringLiteral("   ");
    EXPECT_EQ(applicationIdentity(facts)->name, QStringLiteral("Code"));
    facts.bundleName.reset();
    facts.displayName.reset();
    // A folder name with dots keeps them; only ".app" goes.
    facts.path = QStringLiteral("/Applications/Foo 2.0.app/");
    EXPECT_EQ(applicationIdentity(facts)->name, QStringLiteral("Foo 2.0"));
}

TEST(AppBundle, OnlyApplicationsAreApplications)
{
    BundleFacts nothingThere = app(QStringLiteral("/Applications/Nothing.app"));
    nothingThere.isBundle = false;
    EXPECT_FALSE(applicationIdentity(nothingThere));
    BundleFacts framework = app(QStringLiteral("/Library/Frameworks/Sparkle.framework"));
    framework.packageType = QStringLiteral("FMWK");
    EXPECT_FALSE(applicationIdentity(framework));
    // A package type wins over the name, either way.
    BundleFacts oddlyNamed = app(QStringLiteral("/Library/Tools/Helper.app"));
    oddlyNamed.packageType = QStringLiteral("BNDL");
    EXPECT_FALSE(applicationIdentity(oddlyNamed));
    BundleFacts plainFolder = app(QStringLiteral("/Users/me/Documents"));
    EXPECT_FALSE(applicationIdentity(plainFolder));
    // Without a package type, the extension decides.
    EXPECT_TRUE(applicationIdentity(app(QStringLiteral("/Applications/Old.APP"))));
}

TEST(AppBundle, AnApplicationWithoutIdentifierHasNone)
{
    BundleFacts facts = app(QStringLiteral("/Applications/Unsigned.app"));
    facts.identifier = QString();
    auto identity = applicationIdentity(facts);
    ASSERT_TRUE(identity);
    EXPECT_FALSE(identity->bundleId);
    EXPECT_EQ(identity->name, QStringLiteral("Unsigned"));
}

TEST(AppBundle, ApplicationUrlsNameLocalPathsOnly)
{
    EXPECT_EQ(applicationPath(QUrl::fromLocalFile(QStringLiteral("/Applications/Safari.app/"))),
              QStringLiteral("/Applications/Safari.app"));
    EXPECT_EQ(applicationPath(QUrl(QStringLiteral("/Applications/My%20App.app"))), QStringLiteral("/Applications/My App.app"));
    EXPECT_EQ(applicationPath(QUrl(QStringLiteral("file:///Applications/Xcode.app"))), QStringLiteral("/Applications/Xcode.app"));
    EXPECT_TRUE(applicationPath(QUrl(QStringLiteral("https://example.com/App.app"))).isEmpty());
    EXPECT_TRUE(applicationPath(QUrl(QStringLiteral("Safari.app"))).isEmpty());
    EXPECT_TRUE(applicationPath(QUrl()).isEmpty());
}

TEST(AppBundle, IconUrlsCarryAnyPathThereAndBack)
{
    for (const QString& path : {QStringLiteral("/Applications/Safari.app"), QStringLiteral("/Applications/My App #2?.app"),
                                QStringLiteral("/Users/me/アプリ/100% Done.app")}) {
        const QString url = appIconUrl(path);
        ASSERT_TRUE(url.startsWith(QStringLiteral("image://appicon/"))) << qPrintable(url);
        const QString id = url.mid(QStringLiteral("image://appicon/").size());
        EXPECT_FALSE(id.contains(QLatin1Char('/'))) << qPrintable(url);
        EXPECT_EQ(appIconPath(id), path);
    }
    BundleFacts facts = app(QStringLiteral("/Applications/Safari.app"));
    EXPECT_EQ(applicationIdentity(facts)->iconName, appIconUrl(QStringLiteral("/Applications/Safari.app")));
}

TEST(LoginItemApproval, AwaitingApprovalIsAFailureThatSendsTheUserToSettings)
{
    const auto pending = registrationResult(QString(), LoginItemStatus::RequiresApproval);
    EXPECT_FALSE(pending.ok);
    EXPECT_TRUE(pending.needsApproval);
    EXPECT_EQ(pending.error, kLoginItemNeedsApproval);
    // The system may also refuse with an error while awaiting approval.
    EXPECT_TRUE(registrationResult(QStringLiteral("Operation not permitted"), LoginItemStatus::RequiresApproval)
                    .needsApproval);

    const auto refused = registrationResult(QStringLiteral("Invalid code signature"), LoginItemStatus::NotRegistered);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.needsApproval);
    EXPECT_EQ(refused.error, QStringLiteral("Invalid code signature"));

    EXPECT_TRUE(registrationResult(QString(), LoginItemStatus::Enabled).ok);
    // Accepted, yet not enabled: not silently a success.
    const auto lost = registrationResult(QString(), LoginItemStatus::NotFound);
    EXPECT_FALSE(lost.ok);
    EXPECT_FALSE(lost.error.isEmpty());
}

} // namespace
} // namespace kestrune
