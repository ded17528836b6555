#pragma once

#include "ZeltColors.h"
#include "ZeltLabelMarkup.h"

#include <QPointer>
#include <QWidget>

enum TZeltAlign : int { alMNone, alMTop, alMBottom, alMLeft, alMRight, alMCenter };
enum TAlignment : int { taLeftJustify, taRightJustify, taCenter };

// A label that renders its caption with the inline markup of ZeltLabelMarkup.h. At each paint it
// grows (never shrinks) to the text it needs and places itself in its parent by Align.
class TZeltFmtLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
public:
    explicit TZeltFmtLabel(QWidget* parent = nullptr);

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    TZeltAlign Align() const { return FAlign; }
    void SetAlign(TZeltAlign align);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor color);
    // The font's colour; the font itself is the widget's.
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor color);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    // Kept for the forms that set it; the size follows the markup's needs either way.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value) { FAutoSize = value; }

    // After the window definition is applied: a font of 9 or 10 points becomes 8.
    void Loaded();

    // The size the caption needs: the sum of the line heights, and the widest line for a centred
    // label or the sum of all line widths otherwise.
    QSize RequiredSize() const;
    // Grows to the required size and applies Align; what each paint does first.
    void Arrange();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Measured {
        TZeltMarkupLine Line;
        int Width = 0;
        int Ascent = 0;
        int Height = 0;
    };
    QList<Measured> Measure() const;
    void WatchParent();

    QString FCaption;
    TZeltAlign FAlign = alMNone;
    TAlignment FAlignment = taLeftJustify;
    TColor FShadowColor = clBtnShadow;
    TColor FFontColor = clWindowText;
    TColor FColor = clBtnFace;
    bool FTransparent = false;
    bool FAutoSize = false;
    bool FAcces = true;
    QPointer<QWidget> FWatched;
};
