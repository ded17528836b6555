#pragma once

#include <QColor>
#include <QWidget>

// A horizontal progress gauge: a bar over a background, with the percentage done centred on it.
class TGauge final : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    int MinValue() const { return FMinValue; }
    int MaxValue() const { return FMaxValue; }
    int Progress() const { return FProgress; }
    void SetMinValue(int v);
    void SetMaxValue(int v);
    void SetProgress(int v);

    // Whole percent of the range done; 0 for an empty range.
    int PercentDone() const;

    QColor BackColor = QColor(255, 255, 255);
    QColor ForeColor = QColor(0, 0, 0);
    QColor TextColor = QColor(0, 0, 0);

    QSize sizeHint() const override { return {100, 27}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int FMinValue = 0;
    int FMaxValue = 100;
    int FProgress = 0;
};
