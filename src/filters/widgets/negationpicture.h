#pragma once

// The negation toggle's picture in its four states: "_ok" (not negated),
// "_cancel" (negated) and their "_disabled" forms while the filter is not
// active. Drawn, so it stays sharp at every scale.

#include <QtGui/QPixmap>
#include <QtWidgets/QWidget>

namespace lg::filters {

// The image-list name of a state: "_ok", "_cancel", "_ok_disabled", "_cancel_disabled".
QString negationPictureKeyOf(bool negated, bool enabled);

// The picture of a state, `size` logical pixels square, for a device pixel ratio.
QPixmap paintNegationPicture(bool negated, bool enabled, int size = 16, qreal devicePixelRatio = 1.0);

// A clickable picture of the negation state. It only shows the state it is
// given and reports clicks; the owning control decides what a click does.
class NegationPictureView : public QWidget {
    Q_OBJECT
public:
    explicit NegationPictureView(QWidget* parent = nullptr);

    bool negated() const { return negated_; }
    void setNegated(bool negated);
    // The "_disabled" look, independent of QWidget's enabled state.
    bool activeLook() const { return active_; }
    void setActiveLook(bool active);
    // The name of the picture shown now.
    QString pictureName() const { return negationPictureKeyOf(negated_, active_); }

    QSize sizeHint() const override { return {18, 18}; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool negated_ = false;
    bool active_ = true;
};

}  // namespace lg::filters
