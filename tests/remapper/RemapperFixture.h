#pragma once
// A fresh engine on the sim backend, with its settings in a temporary folder.

#include "SimHarness.h"
#include "base/FileDefaults.h"
#include "platform/HidKeyMapping.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrune::testing {

inline QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

class RemapperTest : public ::testing::Test {
protected:
    RemapperTest() { app(); }

    // Builds the harness; tests may write settings into `dir` first.
    SimHarness& make()
    {
        harness_ = std::make_unique<SimHarness>(dir_.path());
        return *harness_;
    }
    SimHarness& launched()
    {
        make().launch();
        return *harness_;
    }
    // Settings written before the engine exists, through the real store.
    void store(const QString& key, const DefaultsValue& value)
    {
        FileDefaults defaults(dir_.path());
        defaults.setValue(key, value);
    }
    QStringList lines() { return harness_->sim.transcript().lines(); }
    // Transcript lines without their time stamps, from `from` on.
    QStringList effects(int from = 0)
    {
        QStringList out;
        const QStringList all = lines();
        for (int i = from; i < all.size(); ++i)
            out << all[i].section(QLatin1Char(' '), 1);
        return out;
    }
    int mark() { return lines().size(); }

    QTemporaryDir dir_;
    std::unique_ptr<SimHarness> harness_;
};

inline const QString kApply = kApplyMappingCommand;
inline const QString kReset = kResetMappingCommand;
inline QString shell(const QString& command) { return QStringLiteral("shell ") + command; }

} // namespace kestrune::testing
