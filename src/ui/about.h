#pragma once

// The about box: the library's title and version, and a button that shows
// what the library runs on.

#include <QtWidgets/QDialog>

class QLabel;
class QPushButton;

namespace lg {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // `title` defaults to the library's title, `version` to the library's
    // version ("major.minor.revision").
    explicit frmAbout(QWidget* parent = nullptr, const QString& title = {}, const QString& version = {});

    // One line each for the operating system, Qt and SQLite.
    static QString systemInformation();

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    void showSystemInformation();
};

}  // namespace lg
