#include "settings/ConfigOptions.h"

#include "remapper/RemapperConfig.h"

#include <QCoreApplication>
#include <QEvent>
#include <QVariantMap>

namespace kestrune {

namespace {
template <typename E, size_t N>
QVariantList options(const std::array<E, N>& all)
{
    QVariantList list;
    for (E e : all)
        list << QVariantMap{{QStringLiteral("value"), int(e)}, {QStringLiteral("text"), config::displayName(e)}};
    return list;
}

// With what the closed picker shows where the full name is too wide.
template <typename E, size_t N>
QVariantList optionsWithShortTexts(const std::array<E, N>& all)
{
    QVariantList list;
    for (E e : all)
        list << QVariantMap{{QStringLiteral("value"), int(e)},
                            {QStringLiteral("text"), config::displayName(e)},
                            {QStringLiteral("shortText"), config::shortDisplayName(e)}};
    return list;
}
} // namespace

ConfigOptions::ConfigOptions(QObject* parent) : QObject(parent)
{
    // Installing a translator sends LanguageChange to the application
    // object only; watching it is how a plain QObject hears of it.
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

ConfigOptions::~ConfigOptions() = default;

QVariantList ConfigOptions::hyperKey() const { return optionsWithShortTexts(config::kAllHyperKeyConfigs); }
QVariantList ConfigOptions::singlePress() const { return options(config::kAllSinglePressConfigs); }
QVariantList ConfigOptions::cmdEisuKana() const { return optionsWithShortTexts(config::kAllCmdEisuKanaConfigs); }
QVariantList ConfigOptions::vimMode() const { return options(config::kAllVimModeConfigs); }

bool ConfigOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && watched == QCoreApplication::instance())
        emit languageChanged();
    return QObject::eventFilter(watched, event);
}

} // namespace kestrune
