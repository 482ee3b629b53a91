#pragma once

#include <QLabel>

namespace Lunovex {

// A caption with a box in it: the run of spaces in the caption is where the box sits. The caption
// text stays as it is; only the painting makes room.
class CaptionWithBox final : public QLabel
{
public:
    using QLabel::QLabel;

    // box becomes as wide as a combo box showing widestEntry and sits in the run of spaces.
    void setBox(QWidget* box, const QString& widestEntry);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString prefix() const;
    QString suffix() const;

    QWidget* box_ = nullptr;
    int boxWidth_ = 0;
};

} // namespace Lunovex
