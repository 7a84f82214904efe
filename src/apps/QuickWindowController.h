#pragma once
// One ordinary window showing one QML view, made on first showWindow() and
// made afresh once closed: showing it while it is visible only brings it
// forward, its view keeping its state. The view's closeRequested() signal
// (its "Done") closes the window. Main thread.

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <memory>

class QQmlEngine;
class QQuickItem;
class QQuickView;

namespace kestrune {

class QuickWindowController : public QObject {
    Q_OBJECT
public:
    struct Options {
        QUrl source;          // the view, an Item of a fixed size
        QString title;        // untranslated; translated in the window's context when shown
        const char* titleContext = nullptr;
        QVariantMap initialProperties;
        bool floating = false; // kept above other windows
    };

    QuickWindowController(QQmlEngine& engine, Options options, QObject* parent = nullptr);
    ~QuickWindowController() override;

    // Brings the window forward, building it first if there is none or it
    // was closed.
    void showWindow();
    bool isVisible() const;

    QQuickView* window() const { return window_.get(); }
    QQuickItem* view() const;
    // QML errors of the last build, empty when it loaded.
    QString error() const { return error_; }

public slots:
    void close();

signals:
    void shown();
    void closed();

private:
    void build();

    QQmlEngine& engine_;
    Options options_;
    std::unique_ptr<QQuickView> window_;
    QString error_;
};

} // namespace kestrune
