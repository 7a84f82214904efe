// The pickers: their choices come from the remapper's enumerations, a choice
// made in the pop-up reaches the model, and the model's changes come back.

#include "PanelFixture.h"
#include "remapper/RemapperConfig.h"
#include "settings/ConfigOptions.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTranslator>
#include <QVariantMap>

using namespace kestrune;
using namespace kestrune::test;

namespace {
template <typename E, size_t N>
void expectOptions(const QVariantList& list, const std::array<E, N>& all)
{
    ASSERT_EQ(list.size(), qsizetype(N));
    for (size_t i = 0; i < N; ++i) {
        const QVariantMap option = list[qsizetype(i)].toMap();
        EXPECT_EQ(option.value(QStringLiteral("value")).toInt(), int(all[i])) << i;
        EXPECT_EQ(option.value(QStringLiteral("text")).toString(), config::displayName(all[i])) << i;
    }
}

// Translates one source text, as a loaded catalogue would.
class OneWordTranslator : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QLatin1String(source) == QLatin1String("None") ? QStringLiteral("Aucun") : QString();
    }
};
} // namespace

TEST(ConfigOptions, OneOptionPerCaseInDeclarationOrderInTheCurrentLanguage)
{
    ConfigOptions options;
    expectOptions(options.hyperKey(), config::kAllHyperKeyConfigs);
    expectOptions(options.singlePress(), config::kAllSinglePressConfigs);
    expectOptions(options.cmdEisuKana(), config::kAllCmdEisuKanaConfigs);
    expectOptions(options.vimMode(), config::kAllVimModeConfigs);

    QSignalSpy changed(&options, &ConfigOptions::languageChanged);
    OneWordTranslator translator;
    QCoreApplication::installTranslator(&translator);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(options.singlePress().value(0).toMap().value(QStringLiteral("text")).toString(), QStringLiteral("Aucun"));
    QCoreApplication::removeTranslator(&translator);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(PanelTest, ChoosingAnOptionWritesTheModelAndTheModelComesBack)
{
    loadPanel();
    struct Case {
        const char* picker;
        int option;
        std::function<int()> model;
        std::function<void()> changeElsewhere;
        QString textAfterwards;
    };
    const std::vector<Case> cases{
        {"longPressPicker", 3, [this] { return int(remapper_.hyperKeyConfig()); },
         [this] { remapper_.setHyperKeyConfig(HyperKeyConfig::optShift); },
         config::displayName(HyperKeyConfig::optShift)},
        {"singlePressPicker", 2, [this] { return int(remapper_.singlePressConfig()); },
         [this] { remapper_.setSinglePressConfig(SinglePressConfig::esc); },
         config::displayName(SinglePressConfig::esc)},
        {"arrowLayoutPicker", 1, [this] { return int(remapper_.vimModeConfig()); },
         [this] { remapper_.setVimModeConfig(VimModeConfig::vim); }, QStringLiteral("H/J/K/L")},
        {"cmdKeysPicker", 1, [this] { return int(remapper_.cmdEisuKanaConfig()); },
         [this] { remapper_.setCmdEisuKanaConfig(CmdEisuKanaConfig::leftEisuRightKana); },
         config::displayName(CmdEisuKanaConfig::leftEisuRightKana)},
    };
    const std::array<int, 4> chosen{int(HyperKeyConfig::cmdCtrlShift), int(SinglePressConfig::fnDelete),
                                    int(VimModeConfig::gamer), int(CmdEisuKanaConfig::leftDelRightFnDel)};

    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.picker);
        const QString name = QString::fromLatin1(c.picker);
        QQuickItem* picker = item(name);
        ASSERT_TRUE(picker);
        click(picker);
        QQuickItem* option = item(name + QStringLiteral(".option.") + QString::number(c.option));
        ASSERT_TRUE(option);
        click(option);
        runDue();
        EXPECT_EQ(c.model(), chosen[i]);
        EXPECT_FALSE(picker->property("popup").value<QObject*>()->property("visible").toBool());

        // After a choice by hand the picker still shows what the model says.
        c.changeElsewhere();
        runDue();
        EXPECT_EQ(picker->property("currentText").toString(), c.textAfterwards);
    }
}
