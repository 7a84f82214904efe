#include "base/QSettingsDefaults.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

namespace {

// Linux has no native store with typed values, so this runs on IniFormat,
// which writes text: strings and data keep their types across a reload, but a
// Boolean comes back as the string "true" — checked only through the object
// that wrote it.
TEST(QSettingsDefaults, TypedValuesWrittenThrough)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("defaults.ini"));
    const QByteArray blob("\x00\xff", 2);
    QSettings settings(path, QSettings::IniFormat);
    kestrune::QSettingsDefaults d(settings);
    d.setValue(QStringLiteral("flag"), true);
    d.setValue(QStringLiteral("name"), QStringLiteral("true"));
    d.setValue(QStringLiteral("blob"), blob);
    d.setValue(QStringLiteral("gone"), QStringLiteral("x"));
    d.removeValue(QStringLiteral("gone"));
    settings.setValue(QStringLiteral("number"), 42);

    EXPECT_EQ(d.boolValue(QStringLiteral("flag")), true);
    EXPECT_FALSE(d.boolValue(QStringLiteral("name"))); // "true" is text, not a Boolean
    EXPECT_FALSE(d.stringValue(QStringLiteral("blob")));
    EXPECT_FALSE(d.value(QStringLiteral("number")));

    QSettings reread(path, QSettings::IniFormat);
    kestrune::QSettingsDefaults fresh(reread);
    EXPECT_EQ(fresh.stringValue(QStringLiteral("name")), QStringLiteral("true"));
    EXPECT_EQ(fresh.dataValue(QStringLiteral("blob")), blob);
    EXPECT_FALSE(fresh.value(QStringLiteral("gone")));
}

} // namespace
