#pragma once

// vW_StepHeader: the caption strip at the top of the list wizard. The first
// label holds the step's title (bold), the second its explanation. Setting
// CurrentStep to 1..5 loads both from the string table (2000 + 2(k-1) and
// 2001 + 2(k-1)); any other value changes nothing.

#include <QtWidgets/QWidget>

#include <memory>

class QLabel;

namespace lg::controls {

class vW_StepHeader : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString MainCaption READ MainCaption WRITE setMainCaption NOTIFY MainCaptionChanged)
    Q_PROPERTY(QString SubCaption READ SubCaption WRITE setSubCaption NOTIFY SubCaptionChanged)
    Q_PROPERTY(int CurrentStep READ CurrentStep WRITE setCurrentStep NOTIFY CurrentStepChanged)

public:
    explicit vW_StepHeader(QWidget* parent = nullptr);
    ~vW_StepHeader() override;

    // The string ids of step k's captions; -1 outside 1..5.
    static int mainCaptionId(int step);
    static int subCaptionId(int step);

    QString MainCaption() const;
    void setMainCaption(const QString& caption);
    QString SubCaption() const;
    void setSubCaption(const QString& caption);
    int CurrentStep() const;
    void setCurrentStep(int step);

    QLabel* lblMain() const;
    QLabel* lblSub() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void MainCaptionChanged(const QString& caption);
    void SubCaptionChanged(const QString& caption);
    void CurrentStepChanged(int step);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace lg::controls
