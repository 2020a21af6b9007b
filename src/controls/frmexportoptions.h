#pragma once

// The export options dialog: the workbook's file name and whether to open
// it after the export. ReturnValue is 0 after OK, 1 after Cancel (or Esc).

#include <QtWidgets/QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lg::controls {

class frmExportOptions : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString FilePath READ FilePath WRITE setFilePath NOTIFY FilePathChanged)
    Q_PROPERTY(bool ExportFileOpen READ ExportFileOpen WRITE setExportFileOpen NOTIFY ExportFileOpenChanged)
    Q_PROPERTY(int ReturnValue READ ReturnValue WRITE setReturnValue NOTIFY ReturnValueChanged)

public:
    explicit frmExportOptions(QWidget* parent = nullptr);

    // The file name box, trimmed.
    QString FilePath() const;
    void setFilePath(const QString& path);
    bool ExportFileOpen() const;
    void setExportFileOpen(bool open);
    int ReturnValue() const { return m_returnValue; }
    void setReturnValue(int value);

    void SetCaptionsVisualTheme();

    // The filter the file button offers.
    static QString fileFilter();

    QLabel* lblInstruction = nullptr;
    QLabel* lblFile = nullptr;
    QLineEdit* txtFileName = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QCheckBox* chkShowExportedFile = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

Q_SIGNALS:
    void FilePathChanged(const QString& path);
    void ExportFileOpenChanged(bool open);
    void ReturnValueChanged(int value);

public:
    void reject() override;

private:
    void browse();
    void confirm();

    int m_returnValue = 1;
};

}  // namespace lg::controls
