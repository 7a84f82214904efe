#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kestrune {

Translations::~Translations()
{
    for (const auto& translator : installed_)
        QCoreApplication::removeTranslator(translator.get());
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
    return language;
}

} // namespace kestrune
