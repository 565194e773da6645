#pragma once
// A check box whose caption wraps to the width it is given, for captions that are
// sentences. The whole area, text included, toggles it.

#include <QCheckBox>

class TWrappingCheckBox : public QCheckBox {
    Q_OBJECT

public:
    TWrappingCheckBox(const QString& objectName, const QString& text, QWidget* parent);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    int IndicatorWidth() const;
    QRect TextRect(int width) const;
};
