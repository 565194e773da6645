#include "wizard/forms/widgets/wrapping_check_box.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <climits>

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
// The width asked for before a layout gives one: a caption of a few lines.
constexpr int kPreferredWidth = 360;

}  // namespace

TWrappingCheckBox::TWrappingCheckBox(const QString& objectName, const QString& text,
                                     QWidget* parent)
    : QCheckBox(text, parent) {
    setObjectName(objectName);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int TWrappingCheckBox::IndicatorWidth() const {
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
           style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

QRect TWrappingCheckBox::TextRect(int width) const {
    const int textWidth = std::max(1, width - IndicatorWidth());
    const QRect bounds = fontMetrics().boundingRect(QRect(0, 0, textWidth, INT_MAX / 2),
                                                    kTextFlags, text());
    return QRect(IndicatorWidth(), 0, textWidth, bounds.height());
}

int TWrappingCheckBox::heightForWidth(int width) const {
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    return std::max(indicator, TextRect(width).height()) + 2;
}

QSize TWrappingCheckBox::sizeHint() const {
    return QSize(kPreferredWidth, heightForWidth(kPreferredWidth));
}

QSize TWrappingCheckBox::minimumSizeHint() const {
    return QSize(IndicatorWidth() + fontMetrics().averageCharWidth() * 10,
                 style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this));
}

void TWrappingCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const int indicatorHeight = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    const int indicatorWidth = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    // The box stands beside the first line.
    const int firstLine = fontMetrics().height();
    option.rect = QRect(0, std::max(0, (firstLine - indicatorHeight) / 2) + 1, indicatorWidth,
                        indicatorHeight);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
    const QRect textRect = TextRect(width()).translated(0, 1);
    painter.drawItemText(textRect, kTextFlags, palette(), isEnabled(), text(), QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textRect.adjusted(-1, -1, 1, 1);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool TWrappingCheckBox::hitButton(const QPoint& position) const { return rect().contains(position); }
