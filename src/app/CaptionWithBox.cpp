#include "app/CaptionWithBox.h"

#include <QComboBox>
#include <QPainter>

namespace Lunovex {

void CaptionWithBox::setBox(QWidget* box, const QString& widestEntry)
{
    box_ = box;
    QComboBox probe;
    probe.addItem(widestEntry);
    boxWidth_ = probe.sizeHint().width();
    box_->setFixedWidth(boxWidth_);
    const QFontMetrics metrics(font());
    setMinimumSize(metrics.horizontalAdvance(prefix()) + boxWidth_ + 8 + metrics.horizontalAdvance(suffix()),
                   std::max(box->sizeHint().height(), metrics.height()));
    box_->move(metrics.horizontalAdvance(prefix()) + 4, 0);
}

void CaptionWithBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int baseline = (height() + metrics.ascent() - metrics.descent()) / 2;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(0, baseline, prefix());
    painter.drawText(metrics.horizontalAdvance(prefix()) + boxWidth_ + 8, baseline, suffix());
}

QString CaptionWithBox::prefix() const
{
    return text().section(QStringLiteral("  "), 0, 0);
}

QString CaptionWithBox::suffix() const
{
    return text().section(QLatin1Char(' '), -1).trimmed();
}

} // namespace Lunovex
