#include "apps/FileBrowser.h"

#include <QDir>
#include <QFileDialog>

namespace kestrune {

FileBrowser::FileBrowser(QObject* parent) : QObject(parent) {}

FileBrowser::~FileBrowser()
{
    delete dialog_.data();
}

void FileBrowser::open()
{
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    auto* dialog = new QFileDialog(nullptr, tr("Choose an Application"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
#ifdef Q_OS_MACOS
    dialog->setDirectory(QStringLiteral("/Applications"));
    dialog->setNameFilters({tr("Applications (*.app)")});
#else
    dialog->setDirectory(QDir::homePath());
    // Every file stays choosable, so that a wrong one gets its reason
    // rather than simply not showing up.
    dialog->setNameFilters({tr("Applications (*.desktop)"), tr("All files (*)")});
#endif
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& file) { emit chosen(QUrl::fromLocalFile(file)); });
    dialog_ = dialog;
    dialog->open();
}

} // namespace kestrune
