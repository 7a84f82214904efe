#include "app/Translations.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLibraryInfo>

namespace kestrune {

namespace {

// Monospaced faces give "i" the width of "M".
bool isProportional(const QFont& font)
{
    const QFontMetricsF metrics(font);
    return metrics.horizontalAdvance(QStringLiteral("iiii")) < metrics.horizontalAdvance(QStringLiteral("MMMM"));
}

bool writesJapanese(const QString& family)
{
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese);
}

} // namespace

Translations::~Translations()
{
    for (const auto& translator : installed_)
        QCoreApplication::removeTranslator(translator.get());
    if (previousFont_)
        QGuiApplication::setFont(*previousFont_);
}

QStringList Translations::japaneseFamilies()
{
    // Debian's fonts-vlgothic, fonts-noto-cjk and fonts-ipafont-gothic.
    return {QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")};
}

std::optional<QString> Translations::interfaceFamilyFor(const QString& language, const QFont& current)
{
    if (language != QLatin1String("ja"))
        return std::nullopt;
    // A desktop that already chose a proportional Japanese face keeps it.
    const QString family = QFontInfo(current).family();
    if (writesJapanese(family) && isProportional(current))
        return std::nullopt;
    for (const QString& candidate : japaneseFamilies()) {
        // hasFamily knows a face by any of its names: under a Japanese
        // locale VL PGothic is listed as "VL Pゴシック".
        if (!QFontDatabase::hasFamily(candidate))
            continue;
        QFont font(current);
        font.setFamily(candidate);
        if (isProportional(font))
            return candidate;
    }
    return std::nullopt;
}

QString Translations::install(const QLocale& locale)
{
    auto own = std::make_unique<QTranslator>();
    QString language = QStringLiteral("en");
    if (own->load(locale, QStringLiteral("kestrune"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        language = own->language().section(QLatin1Char('_'), 0, 0);
    else if (!own->load(QStringLiteral(":/i18n/kestrune_en.qm")))
        qWarning("Kestrune's English texts are missing from this build.");
    QCoreApplication::installTranslator(own.get());
    installed_.push_back(std::move(own));

    if (language != QLatin1String("en")) {
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt.get());
            installed_.push_back(std::move(qt));
        }
    }

    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QFont current = QGuiApplication::font();
        if (const auto family = interfaceFamilyFor(language, current)) {
            if (!previousFont_)
                previousFont_ = current;
            QFont font(current);
            font.setFamily(*family);
            QGuiApplication::setFont(font);
        }
    }
    return language;
}

} // namespace kestrune
