#pragma once

#include "ZeltColors.h"

#include <QString>
#include <QWidget>

// A plain panel of the framework's windows: a coloured area with an optional centred caption and
// an inner border of its own colour. Children are placed by their owner.
class TZeltPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
public:
    explicit TZeltPanel(QWidget* parent = nullptr, const QString& name = QString());

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor color);
    // Room kept free inside the edges, in the panel's colour.
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor FColor = clBtnFace;
    TColor FFontColor = clWindowText;
    QString FCaption;
    int FBorderWidth = 0;
};
