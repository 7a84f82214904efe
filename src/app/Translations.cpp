#include "app/Translations.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLibraryInfo>

#include <algorithm>

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

enum class Kana { none, hiragana, word };

// Hiragana (with its iteration marks) follows a phrase's head; kanji and
// katakana are a word's own letters. The prolonged sound mark belongs to the
// letter before it.
Kana kindOf(char16_t c, Kana previous)
{
    if (c == 0x30FC)
        return previous == Kana::none ? Kana::hiragana : previous;
    if (c >= 0x3041 && c <= 0x309F)
        return Kana::hiragana;
    if ((c >= 0x30A0 && c <= 0x30FF && c != 0x30FB) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF)
        || c == 0x3005)
        return Kana::word;
    return Kana::none;
}

// Kestrune's catalogues, whose Japanese texts keep their phrases together.
class JapaneseTranslator final : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char* disambiguation, int n) const override
    {
        return Translations::keepJapanesePhrases(QTranslator::translate(context, sourceText, disambiguation, n));
    }
};

} // namespace

QString Translations::keepJapanesePhrases(const QString& text)
{
    constexpr QChar kWordJoiner(0x2060);
    // A null text is "no translation here": it must stay null.
    if (!std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3041; }))
        return text;
    QString out;
    out.reserve(text.size() + text.size() / 2);
    Kana previous = Kana::none;
    for (const QChar c : text) {
        const Kana kind = kindOf(c.unicode(), previous);
        // A new phrase starts where a word's letter follows hiragana; every
        // other pair of Japanese letters stays together.
        if (previous != Kana::none && kind != Kana::none && !(previous == Kana::hiragana && kind == Kana::word))
            out += kWordJoiner;
        out += c;
        previous = kind;
    }
    return out;
}

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
    std::unique_ptr<QTranslator> own = std::make_unique<JapaneseTranslator>();
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
