#pragma once
// Kestrune's texts in the user's language. English source texts are the
// keys; the English catalogue adds the longer help texts that sit behind
// short keys ("Vim Mode Help"), and the Japanese one translates everything.
// A text without a translation is shown as written. Main thread.
//
// A language may need a face of its own: under a Japanese locale fontconfig
// hands out a Japanese face whose Latin letters are monospaced (VL Gothic),
// so "Kestrune" and "Hyper" read like a terminal. For Japanese the interface
// takes a proportional Japanese face instead, where one is installed.

#include <QFont>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <memory>
#include <optional>
#include <vector>

namespace kestrune {

class Translations {
public:
    Translations() = default;
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;
    // Takes the catalogues out of the application again, and gives back the
    // font it had.
    ~Translations();

    // Installs the catalogue for `locale` (English for a language without
    // one) and Qt's own texts for that language where installed, and the
    // interface font the language needs. Returns the language installed
    // ("ja", "en").
    QString install(const QLocale& locale);

    // The proportional Japanese faces, best first.
    static QStringList japaneseFamilies();
    // `text` with each Japanese phrase held together for line wrapping: a
    // word joiner (U+2060) between its characters, so a line breaks where
    // a phrase begins, after 、and 。 or around other scripts, never inside
    // a word ("ませ|ん。"). A phrase is a run of kanji or katakana and the
    // kana that follow it. Text without Japanese comes back as it was.
    static QString keepJapanesePhrases(const QString& text);
    // The family the interface should use for `language` when `current`
    // does not suit it; nullopt to keep `current`. Needs a QGuiApplication.
    static std::optional<QString> interfaceFamilyFor(const QString& language, const QFont& current);

private:
    std::vector<std::unique_ptr<QTranslator>> installed_;
    std::optional<QFont> previousFont_;
};

} // namespace kestrune
