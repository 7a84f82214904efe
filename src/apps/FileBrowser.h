#pragma once
// "Browse…": the desktop's file dialog for an application elsewhere (a
// .desktop file on Linux, an application bundle on macOS). Non-modal: the
// result arrives through chosen(). Main thread.

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <QFileDialog>

namespace kestrune {

class FileBrowser : public QObject {
    Q_OBJECT
    QML_ELEMENT

public:
    explicit FileBrowser(QObject* parent = nullptr);
    ~FileBrowser() override;

    // Opens the dialog (or raises the one already open).
    Q_INVOKABLE void open();
    // The open dialog, for tests; null when none.
    QFileDialog* dialog() const { return dialog_; }

signals:
    void chosen(const QUrl& url);

private:
    QPointer<QFileDialog> dialog_;
};

} // namespace kestrune
