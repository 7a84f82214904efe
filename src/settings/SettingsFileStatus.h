#pragma once
// What the panel tells the user about the settings file: that a change
// could not be saved, or that the file could not be read and defaults are
// in use, each with what to do. Empty while all is well. Main thread; the
// store must outlive this.

#include "base/UserDefaults.h"

#include <QObject>
#include <QString>

namespace kestrune {

class SettingsFileStatus : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool hasProblem READ hasProblem NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString detail READ detail NOTIFY changed)

public:
    explicit SettingsFileStatus(UserDefaults& defaults, QObject* parent = nullptr);
    ~SettingsFileStatus() override;

    // A failed save comes first: it is what the user just did.
    bool hasProblem() const { return shown().kind != DefaultsProblem::Kind::none; }
    QString title() const;
    QString detail() const;

signals:
    void changed();

private:
    const DefaultsProblem& shown() const;

    UserDefaults& defaults_;
};

} // namespace kestrune
