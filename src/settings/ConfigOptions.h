#pragma once
// ConfigOptions: the choices of the settings pickers (QML singleton
// `ConfigOptions`). Each list holds one {value, text} entry per case of a
// remapper enumeration, in declaration order; `value` is the case as an int
// (what the remapper's enum properties read and accept in QML), `text` its
// display name in the current language, with the key names of the platform
// (base/KeyNames.h). An entry may add `shortText`, what the closed picker
// shows instead. The lists are rebuilt when the language changes. Main thread.

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class ConfigOptions : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QVariantList hyperKey READ hyperKey NOTIFY languageChanged)
    Q_PROPERTY(QVariantList singlePress READ singlePress NOTIFY languageChanged)
    Q_PROPERTY(QVariantList cmdEisuKana READ cmdEisuKana NOTIFY languageChanged)
    Q_PROPERTY(QVariantList vimMode READ vimMode NOTIFY languageChanged)

public:
    explicit ConfigOptions(QObject* parent = nullptr);
    ~ConfigOptions() override;

    QVariantList hyperKey() const;
    QVariantList singlePress() const;
    QVariantList cmdEisuKana() const;
    QVariantList vimMode() const;

signals:
    void languageChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kestrune
