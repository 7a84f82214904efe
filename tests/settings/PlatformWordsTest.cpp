// The panel in the platform's words. Linux names its modifiers Super, Alt,
// Ctrl and Shift and its delete keys Backspace and Delete; a Mac draws
// ⌘ ⌥ ⌃ ⇧ and says Fn + Delete. Every text a person can bring up is read:
// the cards, each picker's list, each help popover, the permission card.

#include "PanelFixture.h"
#include "app/Translations.h"
#include "base/KeyNames.h"

#include <QRegularExpression>
#include <ostream>

using namespace kestrune;
using namespace kestrune::test;

namespace {

struct Words {
    KeyboardConvention convention;
    const char* name;
    QString cmdCardTitle;
    QString hyperClosed;
    QStringList hyperList;
    QString forwardDelete;
    QString deleteKeys;
    QString deleteKeysClosed;
    QString permissionHint;
    QStringList inLongPressHelp;
    QStringList inCmdHelp;
    // Words of the other platform that must not show anywhere.
    QStringList never;
};

void PrintTo(const Words& words, std::ostream* out) { *out << words.name; }

Words linuxWords()
{
    return {KeyboardConvention::linuxDesktop,
            "Linux",
            QStringLiteral("L/R Super"),
            QStringLiteral("Hyper"),
            {QStringLiteral("Hyper (Super+Alt+Ctrl+Shift)"), QStringLiteral("Super+Alt+Ctrl"),
             QStringLiteral("Super+Alt+Shift"), QStringLiteral("Super+Ctrl+Shift"), QStringLiteral("Alt+Ctrl+Shift"),
             QStringLiteral("Super+Alt"), QStringLiteral("Super+Ctrl"), QStringLiteral("Super+Shift"),
             QStringLiteral("Alt+Ctrl"), QStringLiteral("Alt+Shift"), QStringLiteral("Ctrl+Shift")},
            QStringLiteral("Delete"),
            QStringLiteral("Left: Backspace, Right: Delete"),
            QStringLiteral("Backspace / Del"),
            QStringLiteral("Allow Kestrune to read your keyboards"),
            {QStringLiteral("Super, Alt, Ctrl and Shift")},
            {QStringLiteral("left or right Super key"), QStringLiteral("Backspace and Delete"),
             QStringLiteral("Super used together")},
            {QStringLiteral("⌘"), QStringLiteral("⌥"), QStringLiteral("⌃"), QStringLiteral("⇧"),
             QStringLiteral("Command"), QStringLiteral("Option"), QStringLiteral("Control"), QStringLiteral("Fn"),
             QStringLiteral("Accessibility")}};
}

Words macWords()
{
    return {KeyboardConvention::macOS,
            "macOS",
            QStringLiteral("L/R Command"),
            QStringLiteral("Hyper (⌘⌥⌃⇧)"),
            {QStringLiteral("Hyper (⌘⌥⌃⇧)"), QStringLiteral("⌘ ⌥ ⌃"), QStringLiteral("⌘ ⌥ ⇧"),
             QStringLiteral("⌘ ⌃ ⇧"), QStringLiteral("⌥ ⌃ ⇧"), QStringLiteral("⌘ ⌥"), QStringLiteral("⌘ ⌃"),
             QStringLiteral("⌘ ⇧"), QStringLiteral("⌥ ⌃"), QStringLiteral("⌥ ⇧"), QStringLiteral("⌃ ⇧")},
            QStringLiteral("Fn + Delete"),
            QStringLiteral("Left: Del, Right: Fn+Del"),
            QStringLiteral("Del / Fn+Del"),
            QStringLiteral("Grant Permission"),
            {QStringLiteral("Command, Option, Control and Shift")},
            {QStringLiteral("left or right Command key"), QStringLiteral("Delete and Fn + Delete"),
             QStringLiteral("Command used together")},
            {QStringLiteral("Super"), QStringLiteral("Alt"), QStringLiteral("Ctrl"), QStringLiteral("Backspace")}};
}

// The texts of every visible item under `root`, popups included (they live
// in the window's overlay, under its content item).
void collectTexts(QQuickItem* root, QStringList& texts)
{
    if (!root || !root->isVisible())
        return;
    const QVariant text = root->property("text");
    if (text.canConvert<QString>() && !text.toString().isEmpty())
        texts << text.toString();
    const QVariant display = root->property("displayText");
    if (display.isValid())
        texts << display.toString();
    for (QQuickItem* child : root->childItems())
        collectTexts(child, texts);
}

// What an option of a picker's list shows.
QString optionText(QQuickItem* option)
{
    if (!option)
        return {};
    auto* content = option->property("contentItem").value<QQuickItem*>();
    return content ? content->property("text").toString() : QString();
}

bool containsWord(const QString& text, const QString& word)
{
    // Symbols anywhere; words only whole ("Alt" is no part of "Alternatively").
    if (word.size() == 1)
        return text.contains(word);
    return text.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(word))));
}

} // namespace

class PanelWords : public PanelTest, public ::testing::WithParamInterface<Words> {};

TEST_P(PanelWords, EveryTextSpeaksThePlatform)
{
    const Words& w = GetParam();
    ScopedKeyboardConvention speaking(w.convention);
    Translations english; // the help texts behind their keys
    ASSERT_EQ(english.install(QLocale(QStringLiteral("en_US"))), QStringLiteral("en"));
    sim_.trust().setTrusted(false);
    loadPanel(false);
    QStringList seen;
    const auto look = [&] {
        layOut();
        collectTexts(h_->window()->contentItem(), seen);
    };
    look();

    EXPECT_EQ(item(QStringLiteral("card.cmdKeys"))->property("title").toString().toStdString(),
              w.cmdCardTitle.toStdString());
    EXPECT_TRUE(seen.contains(w.permissionHint)) << w.permissionHint.toStdString();

    // The long-press picker: short when closed (on Linux), every
    // combination in its list.
    QQuickItem* longPress = item(QStringLiteral("longPressPicker"));
    EXPECT_EQ(longPress->property("displayText").toString().toStdString(), w.hyperClosed.toStdString());
    EXPECT_EQ(longPress->property("currentText").toString().toStdString(), w.hyperList.first().toStdString());
    click(longPress);
    for (int i = 0; i < w.hyperList.size(); ++i) {
        QQuickItem* option = item(QStringLiteral("longPressPicker.option.%1").arg(i));
        EXPECT_EQ(optionText(option).toStdString(), w.hyperList[i].toStdString());
        // Whole, the chosen one in bold included.
        EXPECT_FALSE(option->property("contentItem").value<QQuickItem*>()->property("truncated").toBool()) << i;
    }
    // The open list fits the window: no option is cut at the right edge.
    QQuickItem* widest = item(QStringLiteral("longPressPicker.option.0"));
    EXPECT_LE(widest->mapToScene(QPointF(widest->width(), 0)).x(), h_->window()->width());
    look();
    h_->savePng(h_->grab(), QStringLiteral("panel-words-%1-hyper-list").arg(QString::fromLatin1(w.name).toLower()));
    pressEscape();

    // The closed pickers sit side by side inside the card.
    QQuickItem* hero = item(QStringLiteral("heroCard"));
    QQuickItem* singlePress = item(QStringLiteral("singlePressPicker"));
    layOut();
    EXPECT_LE(singlePress->mapToItem(hero, QPointF(singlePress->width(), 0)).x(), hero->width() - 16 + 0.5);
    EXPECT_LE(longPress->mapToItem(hero, QPointF(longPress->width(), 0)).x(),
              singlePress->mapToItem(hero, QPointF(0, 0)).x());

    click(singlePress);
    EXPECT_EQ(optionText(item(QStringLiteral("singlePressPicker.option.2"))).toStdString(), w.forwardDelete.toStdString());
    look();
    pressEscape();

    // The L/R card's picker is narrow: closed, it names both results
    // whole, and the full name shows on hover.
    QQuickItem* cmdKeys = item(QStringLiteral("cmdKeysPicker"));
    auto closedText = [&] { return cmdKeys->property("contentItem").value<QQuickItem*>(); };
    EXPECT_EQ(cmdKeys->property("displayText").toString(), QStringLiteral("Eisu / Kana"));
    EXPECT_FALSE(closedText()->property("truncated").toBool());
    click(cmdKeys);
    EXPECT_EQ(optionText(item(QStringLiteral("cmdKeysPicker.option.1"))).toStdString(), w.deleteKeys.toStdString());
    look();
    click(item(QStringLiteral("cmdKeysPicker.option.1")));
    layOut();
    EXPECT_EQ(cmdKeys->property("displayText").toString().toStdString(), w.deleteKeysClosed.toStdString());
    EXPECT_FALSE(closedText()->property("truncated").toBool());
    h_->hoverAway();
    hover(cmdKeys);
    QObject* tip = cmdKeys->findChild<QObject*>(QStringLiteral("cmdKeysPicker.toolTip"));
    ASSERT_TRUE(tip);
    EXPECT_TRUE(h_->waitUntil([&] { return tip->property("opened").toBool(); }));
    EXPECT_EQ(tip->property("text").toString().toStdString(), w.deleteKeys.toStdString());
    look();
    h_->savePng(h_->grab(), QStringLiteral("panel-words-%1-cmd-closed").arg(QString::fromLatin1(w.name).toLower()));
    h_->hoverAway();

    // The help texts, as their popovers show them.
    const QString longPressHelp = item(QStringLiteral("heroCard"))
                                      ->findChild<QQuickItem*>(QStringLiteral("info"))
                                      ->property("text")
                                      .toString();
    for (const QString& part : w.inLongPressHelp)
        EXPECT_TRUE(longPressHelp.contains(part)) << longPressHelp.toStdString();
    QQuickItem* cmdInfo = item(QStringLiteral("card.cmdKeys"))->findChild<QQuickItem*>(QStringLiteral("info"));
    const QString cmdHelp = cmdInfo->property("text").toString();
    for (const QString& part : w.inCmdHelp)
        EXPECT_TRUE(cmdHelp.contains(part)) << cmdHelp.toStdString();
    hover(cmdInfo);
    ASSERT_TRUE(cmdInfo->property("popoverVisible").toBool());
    EXPECT_EQ(cmdInfo->property("popoverText").toString(), cmdHelp);
    look();
    h_->savePng(h_->grab(), QStringLiteral("panel-words-%1-help").arg(QString::fromLatin1(w.name).toLower()));
    h_->hoverAway();
    for (QQuickItem* card : {item(QStringLiteral("card.arrowMode")), item(QStringLiteral("card.doubleTap")),
                             item(QStringLiteral("card.launchAtLogin")), item(QStringLiteral("card.appLauncher")),
                             item(QStringLiteral("card.exclusions"))})
        seen << card->findChild<QQuickItem*>(QStringLiteral("info"))->property("text").toString();
    seen << longPressHelp << cmdHelp;

    for (const QString& text : seen)
        for (const QString& word : w.never)
            EXPECT_FALSE(containsWord(text, word)) << word.toStdString() << " in: " << text.toStdString();
    // Each help says what its card does and how to use it, not the title again.
    for (const char* name : {"card.launchAtLogin", "card.appLauncher", "card.exclusions"}) {
        const QString help =
            item(QString::fromLatin1(name))->findChild<QQuickItem*>(QStringLiteral("info"))->property("text").toString();
        EXPECT_GT(help.size(), 100) << name << ": " << help.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Platforms, PanelWords, ::testing::Values(linuxWords(), macWords()),
                         [](const auto& info) { return std::string(info.param.name); });
