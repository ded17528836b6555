#include "Gauge.h"

#include <QPainter>

TGauge::TGauge(QWidget* parent) : QWidget(parent) {}

void TGauge::SetMinValue(int v) {
    FMinValue = v;
    update();
}

void TGauge::SetMaxValue(int v) {
    FMaxValue = v;
    update();
}

void TGauge::SetProgress(int v) {
    FProgress = v;
    update();
}

int TGauge::PercentDone() const {
    const qint64 range = qint64(FMaxValue) - FMinValue;
    if (range == 0)
        return 0;
    return int((qint64(FProgress) - FMinValue) * 100 / range);
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, BackColor);
    const int done = std::clamp(PercentDone(), 0, 100);
    const int barWidth = r.width() * done / 100;
    if (barWidth > 0)
        p.fillRect(QRect(r.left(), r.top(), barWidth, r.height()), ForeColor);
    p.setPen(TextColor);
    p.setFont(font());
    p.drawText(r, Qt::AlignCenter, QStringLiteral("%1%").arg(done));
}
