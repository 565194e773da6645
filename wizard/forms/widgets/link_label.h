#pragma once
// A web link as a label: blue text, hand cursor, underlined while hovered or focused.
// A click, or Return or Space while it has the focus, emits clicked(). Its text is plain.

#include <QLabel>

class TLinkLabel : public QLabel {
    Q_OBJECT

public:
    // When the underline starts: on the first mouse move over the label, or as soon as the
    // mouse enters it.
    enum class Hover { OnMove, OnEnter };

    TLinkLabel(const QString& objectName, Hover hover, QWidget* parent);

signals:
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetUnderlined(bool underlined);

    Hover hover_;
    bool hovered_ = false;
};
