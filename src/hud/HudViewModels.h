#pragma once
// What the two HUD views show. The HUD manager writes them; the views bind
// to them. Main thread.

#include "remapper/HudRequests.h"
#include "remapper/RemapperConfig.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

// The modifiers of a Hyper combination as the platform writes them, always
// in Command, Option, Control, Shift order: "⌘⌥⌃⇧" on macOS,
// "Super+Alt+Ctrl+Shift" on Linux (base/KeyNames.h).
QString hyperGlyphs(config::HyperKeyConfig config);

class HyperViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("HUDManager owns the view models")
    Q_PROPERTY(kestrune::config::HyperKeyConfig config READ config WRITE setConfig NOTIFY configChanged)
    Q_PROPERTY(QString glyphs READ glyphs NOTIFY configChanged)
    Q_PROPERTY(bool isVisible READ isVisible WRITE setIsVisible NOTIFY isVisibleChanged)

public:
    explicit HyperViewModel(QObject* parent = nullptr) : QObject(parent) {}

    config::HyperKeyConfig config() const { return config_; }
    void setConfig(config::HyperKeyConfig config);
    QString glyphs() const { return hyperGlyphs(config_); }
    bool isVisible() const { return isVisible_; }
    void setIsVisible(bool visible);

signals:
    void configChanged();
    void isVisibleChanged();

private:
    config::HyperKeyConfig config_ = config::HyperKeyConfig::hyper;
    bool isVisible_ = false;
};

class InputModeViewModel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("HUDManager owns the view models")
    Q_PROPERTY(bool isKana READ isKana NOTIFY modeChanged)
    // "あ" for kana, "A" for eisu: the same in every language.
    Q_PROPERTY(QString character READ character NOTIFY modeChanged)
    Q_PROPERTY(bool isVisible READ isVisible WRITE setIsVisible NOTIFY isVisibleChanged)

public:
    explicit InputModeViewModel(QObject* parent = nullptr) : QObject(parent) {}

    InputMode mode() const { return mode_; }
    void setMode(InputMode mode);
    bool isKana() const { return mode_ == InputMode::kana; }
    QString character() const;
    bool isVisible() const { return isVisible_; }
    void setIsVisible(bool visible);

signals:
    void modeChanged();
    void isVisibleChanged();

private:
    InputMode mode_ = InputMode::eisu;
    bool isVisible_ = false;
};

} // namespace kestrune
