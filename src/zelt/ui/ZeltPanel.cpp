#include "ZeltPanel.h"

#include <QPainter>

TZeltPanel::TZeltPanel(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TZeltPanel::SetColor(TColor color) {
    if (color == FColor)
        return;
    FColor = color;
    update();
}

void TZeltPanel::SetCaption(const QString& caption) {
    if (caption == FCaption)
        return;
    FCaption = caption;
    update();
}

void TZeltPanel::SetFontColor(TColor color) {
    FFontColor = color;
    update();
}

void TZeltPanel::SetBorderWidth(int width) {
    FBorderWidth = qMax(0, width);
    update();
}

void TZeltPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ZeltToQColor(FColor));
    if (FCaption.isEmpty())
        return;
    p.setPen(ZeltToQColor(FFontColor));
    p.setFont(font());
    const QRect inner = rect().adjusted(FBorderWidth, FBorderWidth, -FBorderWidth, -FBorderWidth);
    p.drawText(inner, Qt::AlignCenter | Qt::TextSingleLine, FCaption);
}
