#include "wizard/forms/preview/preview_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "wizard/bridge/engine_api.h"
#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/model/found_files/condition_text.h"
#include "wizard/utilities/pictures/stock_pictures.h"
#include "wizard/utilities/pictures/thumbnail_image.h"
#include "wizard/utilities/text/date_time_text.h"
#include "wizard/utilities/text/number_text.h"

namespace {

QLabel* AddLabel(QWidget* owner, const QString& name, const QString& text) {
    return NamedLabel(owner, name.toLatin1().constData(), text);
}

}  // namespace

TPreviewPanel::TPreviewPanel(const QString& prefix, TPreviewImageLists& images, QWidget* parent)
    : QScrollArea(parent), images_(images) {
    setObjectName(prefix + QStringLiteral("ScrollBox"));
    setWidgetResizable(true);
    setFrameShape(QFrame::StyledPanel);
    auto* content = new QWidget(this);
    picture_ = AddLabel(content, prefix + QStringLiteral("PreviewImage"), QString());
    picture_->setFixedSize(kThumbnailSide, kThumbnailSide);

    auto* values = new QGridLayout;
    const auto addRow = [&](int row, const char* field, const char* caption) {
        values->addWidget(AddLabel(content, prefix + QStringLiteral("Preview%1Label").arg(QLatin1String(field)),
                                   QString::fromLatin1(caption)),
                          row, 0);
        QLabel* value = AddLabel(content, prefix + QStringLiteral("Preview%1Value").arg(QLatin1String(field)),
                                 QStringLiteral("n/a"));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        values->addWidget(value, row, 1);
        return value;
    };
    name_ = addRow(0, "Name", "Name:");
    condition_ = addRow(1, "Condition", "Condition:");
    created_ = addRow(2, "Created", "Created:");
    size_ = addRow(3, "Size", "Size:");
    type_ = addRow(4, "Type", "Type:");
    values->setColumnStretch(1, 1);

    auto* layout = new QHBoxLayout(content);
    layout->addWidget(picture_, 0, Qt::AlignTop);
    layout->addLayout(values, 1);
    setWidget(content);
    setFixedHeight(kThumbnailSide + 2 * frameWidth() + 2 * layout->contentsMargins().top());
    hide();
}

void TPreviewPanel::ShowElement(TBaseElement& element) {
    picture_->setPixmap(images_.ImageList1.At(PictureIndex(element)));
    picture_->repaint();
    name_->setText(QString::fromStdString(element.Name()));
    condition_->setText(ConditionText(element));
    created_->setText(DateTimeText(element.Created()));
    size_->setText(FormatNumberText(element.Size()));
    type_->setText(QString::fromStdString(element.TypeName()));
}

int TPreviewPanel::PictureIndex(TBaseElement& element) {
    if (element.PreviewIndex() >= 0) return element.PreviewIndex();
    if (element.Record().Size == kUnknownSize) return images_.PreviewPlaceholder(element);
    const QImage picture = TakeThumbnailImage(engine().FileGetThumbnail(element.EngineRecord()));
    element.SetPreviewIndex(picture.isNull() ? images_.PreviewPlaceholder(element)
                                             : images_.ImageList1.Add(QPixmap::fromImage(picture)));
    return element.PreviewIndex();
}
