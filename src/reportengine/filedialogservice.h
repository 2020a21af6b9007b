#pragma once

// How the report engine asks the user for a file name. The desktop uses the
// common file dialog; tests install a scripted service that answers from a
// list and remembers what it was asked.

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

class QWidget;

namespace lg::reportengine {

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The chosen file name; empty when the user cancelled.
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& filter) = 0;
};

// The common file-save dialog (asks before overwriting).
class DesktopFileDialog : public FileDialogService {
public:
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& filter) override;
};

// Answers from a queue; an empty queue answers "cancelled".
class ScriptedFileDialog : public FileDialogService {
public:
    QStringList answers;
    QStringList captionsAsked;
    QStringList filtersAsked;
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& filter) override;
};

// The service new engines use (the desktop dialog unless one is installed).
std::shared_ptr<FileDialogService> defaultFileDialogService();
void setDefaultFileDialogService(std::shared_ptr<FileDialogService> service);

}  // namespace lg::reportengine
