#pragma once
// Kestrune's texts in the user's language. English source texts are the
// keys; the English catalogue adds the longer help texts that sit behind
// short keys ("Vim Mode Help"), and the Japanese one translates everything.
// A text without a translation is shown as written. Main thread.

#include <QLocale>
#include <QString>
#include <QTranslator>
#include <memory>
#include <vector>

namespace kestrune {

class Translations {
public:
    Translations() = default;
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;
    // Takes the catalogues out of the application again.
    ~Translations();

    // Installs the catalogue for `locale` (English for a language without
    // one) and Qt's own texts for that language where installed. Returns the
    // language installed ("ja", "en").
    QString install(const QLocale& locale);

private:
    std::vector<std::unique_ptr<QTranslator>> installed_;
};

} // namespace kestrune
