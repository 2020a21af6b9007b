#include "reportengine/filedialogservice.h"

#include <QtWidgets/QFileDialog>

namespace lg::reportengine {

QString DesktopFileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
}

QString ScriptedFileDialog::getSaveFileName(QWidget*, const QString& caption, const QString& filter)
{
    captionsAsked << caption;
    filtersAsked << filter;
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

namespace {
std::shared_ptr<FileDialogService>& installed()
{
    static std::shared_ptr<FileDialogService> service;
    return service;
}
}  // namespace

std::shared_ptr<FileDialogService> defaultFileDialogService()
{
    if (!installed())
        installed() = std::make_shared<DesktopFileDialog>();
    return installed();
}

void setDefaultFileDialogService(std::shared_ptr<FileDialogService> service) { installed() = std::move(service); }

}  // namespace lg::reportengine
