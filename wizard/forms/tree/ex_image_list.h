#pragma once
// An image list: pictures of one size kept by index, drawn in the list-view styles (normal,
// transparent, focus and selected blends). A list may take its disabled pictures from a
// second list, `DisabledImages`; without one a disabled picture is drawn greyed.
//
// The program's lists: ImageListDiskIcons and FilesImages on the main window, exImageList1
// on the language form, ImageListCheckboxes and ImageListFileIcons on the Types page.

#include <QObject>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QVector>

class QPainter;

// A background or blend colour: none (transparent), the default (taken from the palette)
// or a colour of its own.
struct ImageListColor {
    enum class Kind { None, Default, Rgb };
    Kind kind = Kind::None;
    QRgb rgb = 0;

    static ImageListColor none() { return {Kind::None, 0}; }
    static ImageListColor standard() { return {Kind::Default, 0}; }
    static ImageListColor of(QRgb rgb) { return {Kind::Rgb, rgb}; }
};

// None is transparent, the default is the palette's `defaultRole`, any other its RGB value.
QColor ResolveImageListColor(ImageListColor color, const QPalette& palette,
                             QPalette::ColorRole defaultRole);

enum class ImageDrawingStyle {
    Normal,       // over the background colour
    Transparent,  // the picture alone
    Focus,        // blended 25 % with the blend colour
    Selected,     // blended 50 % with the blend colour
};

class TexImageList : public QObject {
    Q_OBJECT
    Q_PROPERTY(TexImageList* DisabledImages READ disabledImages WRITE setDisabledImages)

public:
    explicit TexImageList(QSize imageSize, QObject* parent = nullptr);

    QSize imageSize() const { return imageSize_; }
    int count() const { return static_cast<int>(images_.size()); }

    // Adds a picture (scaled to the list's size when it has another one); its index.
    int add(const QPixmap& picture);
    void clear();
    // The picture at `index`; a null pixmap outside the list.
    QPixmap image(int index) const;

    ImageListColor backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(ImageListColor color);
    ImageListColor blendColor() const { return blendColor_; }
    void setBlendColor(ImageListColor color);

    // The list whose pictures stand for this list's disabled ones; null when its owner
    // destroys it. Its changes are reported as changes of this list.
    TexImageList* disabledImages() const { return disabledImages_.data(); }
    void setDisabledImages(TexImageList* list);

    // Draws picture `index` with its top left at (x, y). Enabled, or without
    // DisabledImages: this list's picture (greyed when disabled). Disabled with
    // DisabledImages: that list's picture `index` at its own size, with this list's
    // background and blend colours.
    void draw(QPainter& painter, int x, int y, int index, ImageDrawingStyle style, bool enabled,
              const QPalette& palette) const;

signals:
    void changed();

private:
    QSize imageSize_;
    QVector<QPixmap> images_;
    ImageListColor backgroundColor_ = ImageListColor::none();
    ImageListColor blendColor_ = ImageListColor::standard();
    QPointer<TexImageList> disabledImages_;
    QMetaObject::Connection disabledImagesChanged_;
};
