#pragma once
// Slides the Types panel between its two heights on the page: H - 187 with the file
// filters shown below it, H - 65 with them hidden (H = the page's height). A timer moves
// the height two pixels per step, so nothing runs inside a nested event loop; the last
// step lands exactly on the target and swaps the Show and Hide buttons. A new request
// while sliding retargets the slide. A page that is not on screen yet (start-up) gets the
// end state at once, and the height follows every resize of the page.

#include <QObject>
#include <QPointer>
#include <QTimer>

class QAbstractButton;
class QWidget;

class FilterSlide : public QObject {
    Q_OBJECT

public:
    static constexpr int kShownMargin = 187;
    static constexpr int kHiddenMargin = 65;
    static constexpr int kStepPixels = 2;
    static constexpr int kStepMilliseconds = 4;

    // `panel` is a child of the page; the slide keeps it at the page's top left, as wide
    // as the page.
    FilterSlide(QWidget* panel, QAbstractButton* showButton, QAbstractButton* hideButton);

    void showFilters();
    void hideFilters();

    bool filtersShown() const { return shown_; }
    bool sliding() const { return timer_.isActive(); }
    // The height the panel ends at for the current request and page height.
    int targetHeight() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void request(bool shown);
    void step();
    void finish();

    QWidget* panel_;
    QWidget* page_;
    QPointer<QAbstractButton> showButton_;
    QPointer<QAbstractButton> hideButton_;
    QTimer timer_;
    bool shown_ = false;
};
