#pragma once
// PlatformWords: the names of keys for the views (QML singleton
// `PlatformWords`), read from the platform's table (base/KeyNames.h), so
// that a help text says "Super" on Linux and "Command" on macOS. The texts
// follow the language; the table is the one in use when the view is built.
// Main thread.

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace kestrune {

class PlatformWords : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // macOS: the modifiers are drawn as symbols where room is short.
    Q_PROPERTY(bool isMac READ isMac CONSTANT)
    Q_PROPERTY(QString command READ command CONSTANT)
    Q_PROPERTY(QString option READ option CONSTANT)
    Q_PROPERTY(QString control READ control CONSTANT)
    Q_PROPERTY(QString shift READ shift CONSTANT)
    // kVK_Delete and kVK_ForwardDelete: Delete and Fn + Delete on macOS,
    // Backspace and Delete on Linux.
    Q_PROPERTY(QString backspace READ backspace NOTIFY languageChanged)
    Q_PROPERTY(QString forwardDelete READ forwardDelete NOTIFY languageChanged)

public:
    explicit PlatformWords(QObject* parent = nullptr);
    ~PlatformWords() override;

    bool isMac() const;
    QString command() const;
    QString option() const;
    QString control() const;
    QString shift() const;
    QString backspace() const;
    QString forwardDelete() const;

signals:
    void languageChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kestrune
