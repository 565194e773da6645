#include "wizard/forms/language/language_flags.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <numbers>

namespace {

enum class Emblem {
    None,
    Globe,
    StarsCanton,
    UnionCrosses,
    Disc,
    Star,
    Crescent,
    Hexagram,
    Chequer,
    HoistTriangle,
    CrossCanton,
    Bar,
};

struct FlagDesign {
    bool vertical;                // bands side by side instead of stacked
    std::array<QRgb, 7> colours;  // band colours from the top (or the hoist)
    int colourCount;
    int bandCount;  // colours repeat over the bands
    Emblem emblem;
    QRgb emblemColour;
};

constexpr QRgb kWhite = 0xFFFFFF;

// Indexed by picture number.
constexpr std::array<FlagDesign, kLanguageFlagCount> kFlags = {{
    {false, {0xE4E4E4}, 1, 1, Emblem::Globe, 0x3A6EA5},                        // other
    {false, {0xB22234, kWhite}, 2, 7, Emblem::StarsCanton, 0x3C3B6E},          // US
    {false, {0x012169}, 1, 1, Emblem::UnionCrosses, 0xC8102E},                 // UK
    {false, {0xAE1C28, kWhite, 0x21468B}, 3, 3, Emblem::None, 0},              // Dutch
    {false, {kWhite, 0x0039A6, 0xD52B1E}, 3, 3, Emblem::None, 0},              // Russian
    {false, {0x000000, 0xDD0000, 0xFFCE00}, 3, 3, Emblem::None, 0},            // Deutsch
    {true, {0x0055A4, kWhite, 0xEF4135}, 3, 3, Emblem::None, 0},               // Francais
    {false, {0xAA151B, 0xF1BF00, 0xF1BF00, 0xAA151B}, 4, 4, Emblem::None, 0},  // Spanish
    {false, {kWhite, 0xDC143C}, 2, 2, Emblem::None, 0},                        // Polski
    {false, {kWhite}, 1, 1, Emblem::Disc, 0xBC002D},                           // Japanese
    {false, {0xFF0000, kWhite, 0x171796}, 3, 3, Emblem::Chequer, 0xFF0000},    // Croatian
    {false, {0xDE2910}, 1, 1, Emblem::Star, 0xFFDE00},                         // Chinese
    {false, {0x006C35}, 1, 1, Emblem::Bar, kWhite},                            // Arabic
    {false,
     {kWhite, 0x0038B8, kWhite, kWhite, kWhite, 0x0038B8, kWhite},
     7,
     7,
     Emblem::Hexagram,
     0x0038B8},                                                          // Hebrew
    {false, {0xCE2939, kWhite, 0x477050}, 3, 3, Emblem::None, 0},        // Hungarian
    {false, {0x0057B7, 0xFFD700}, 2, 2, Emblem::None, 0},                // Ukrainian
    {false, {0xE30A17}, 1, 1, Emblem::Crescent, kWhite},                 // Turkish
    {false, {kWhite, 0xD7141A}, 2, 2, Emblem::HoistTriangle, 0x11457E},  // Czech
    {false, {kWhite, 0x00966E, 0xD62612}, 3, 3, Emblem::None, 0},        // Bulgarian
    {true, {0x009246, kWhite, 0xCE2B37}, 3, 3, Emblem::None, 0},         // Italian
    {false, {0x0D5EAF, kWhite}, 2, 9, Emblem::CrossCanton, 0x0D5EAF},    // Greek
    {true, {0x002B7F, 0xFCD116, 0xCE1126}, 3, 3, Emblem::None, 0},       // Romanian
}};

struct NamedFlag {
    const char16_t* caption;
    int index;
};

constexpr std::array<NamedFlag, 20> kNamedFlags = {{
    {u"English", 2}, {u"Dutch", 3},      {u"Russian", 4},    {u"Deutsch", 5},    {u"Francais", 6},
    {u"Spanish", 7}, {u"Polski", 8},     {u"Japanese", 9},   {u"Croatian", 10},  {u"Chinese", 11},
    {u"Arabic", 12}, {u"Hebrew", 13},    {u"Hungarian", 14}, {u"Ukrainian", 15}, {u"Turkish", 16},
    {u"Czech", 17},  {u"Bulgarian", 18}, {u"Italian", 19},   {u"Greek", 20},     {u"Romanian", 21},
}};

constexpr int kSize = 16;
const QRectF kField(0, 2, 16, 12);  // a 4:3 flag, centred in the square picture

QPolygonF StarPolygon(QPointF centre, double outer, double inner, int points, double turn) {
    QPolygonF polygon;
    for (int i = 0; i < points * 2; ++i) {
        const double radius = i % 2 == 0 ? outer : inner;
        const double angle = turn + i * std::numbers::pi / points;
        polygon << centre + QPointF(radius * std::sin(angle), -radius * std::cos(angle));
    }
    return polygon;
}

void PaintBands(QPainter& painter, const FlagDesign& design) {
    const double length = design.vertical ? kField.width() : kField.height();
    for (int band = 0; band < design.bandCount; ++band) {
        const double from = std::round(length * band / design.bandCount);
        const double to = std::round(length * (band + 1) / design.bandCount);
        const QRectF area =
            design.vertical ? QRectF(kField.left() + from, kField.top(), to - from, kField.height())
                            : QRectF(kField.left(), kField.top() + from, kField.width(), to - from);
        painter.fillRect(area, QColor(design.colours[band % design.colourCount]));
    }
}

void PaintEmblem(QPainter& painter, const FlagDesign& design) {
    const QColor colour(design.emblemColour);
    const QPointF centre = kField.center();
    switch (design.emblem) {
        case Emblem::None: break;
        case Emblem::Globe:
            painter.setBrush(colour);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(centre, 5.5, 5.5);
            painter.setPen(QPen(Qt::white, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(centre, 2.5, 5.5);
            painter.drawLine(centre - QPointF(5.5, 0), centre + QPointF(5.5, 0));
            break;
        case Emblem::StarsCanton: {
            const QRectF canton(kField.left(), kField.top(), 7, 7);
            painter.fillRect(canton, colour);
            for (int row = 0; row < 3; ++row) {
                for (int column = 0; column < 3; ++column) {
                    painter.fillRect(
                        QRectF(canton.left() + 1 + column * 2, canton.top() + 1 + row * 2, 1, 1),
                        Qt::white);
                }
            }
            break;
        }
        case Emblem::UnionCrosses:
            painter.setPen(QPen(Qt::white, 3));
            painter.drawLine(kField.topLeft(), kField.bottomRight());
            painter.drawLine(kField.bottomLeft(), kField.topRight());
            painter.setPen(QPen(colour, 1));
            painter.drawLine(kField.topLeft(), kField.bottomRight());
            painter.drawLine(kField.bottomLeft(), kField.topRight());
            painter.fillRect(QRectF(centre.x() - 2.5, kField.top(), 5, kField.height()), Qt::white);
            painter.fillRect(QRectF(kField.left(), centre.y() - 2.5, kField.width(), 5), Qt::white);
            painter.fillRect(QRectF(centre.x() - 1.5, kField.top(), 3, kField.height()), colour);
            painter.fillRect(QRectF(kField.left(), centre.y() - 1.5, kField.width(), 3), colour);
            break;
        case Emblem::Disc:
            painter.setBrush(colour);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(centre, 3.5, 3.5);
            break;
        case Emblem::Star:
            painter.setBrush(colour);
            painter.setPen(Qt::NoPen);
            painter.drawPolygon(StarPolygon(kField.topLeft() + QPointF(4, 4), 3, 1.2, 5, 0));
            break;
        case Emblem::Crescent:
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(QPointF(6, centre.y()), 3.5, 3.5);
            painter.setBrush(QColor(design.colours[0]));
            painter.drawEllipse(QPointF(7, centre.y()), 2.8, 2.8);
            painter.setBrush(colour);
            painter.drawPolygon(
                StarPolygon(QPointF(10.5, centre.y()), 1.8, 0.8, 5, -std::numbers::pi / 2));
            break;
        case Emblem::Hexagram:
            painter.setPen(QPen(colour, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolygon(StarPolygon(centre, 3, 3, 3, 0));
            painter.drawPolygon(StarPolygon(centre, 3, 3, 3, std::numbers::pi / 3));
            break;
        case Emblem::Chequer:
            for (int row = 0; row < 3; ++row) {
                for (int column = 0; column < 3; ++column) {
                    painter.fillRect(
                        QRectF(centre.x() - 3 + column * 2, centre.y() - 3 + row * 2, 2, 2),
                        (row + column) % 2 == 0 ? colour : QColor(Qt::white));
                }
            }
            break;
        case Emblem::HoistTriangle:
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawPolygon(
                QPolygonF({kField.topLeft(), QPointF(8, centre.y()), kField.bottomLeft()}));
            break;
        case Emblem::CrossCanton: {
            const QRectF canton(kField.left(), kField.top(), 7, 7);
            painter.fillRect(canton, colour);
            painter.fillRect(QRectF(canton.left() + 3, canton.top(), 1, canton.height()),
                             Qt::white);
            painter.fillRect(QRectF(canton.left(), canton.top() + 3, canton.width(), 1), Qt::white);
            break;
        }
        case Emblem::Bar:
            painter.fillRect(QRectF(3, centre.y() - 2, 10, 1), colour);
            painter.fillRect(QRectF(4, centre.y() + 2, 8, 1), colour);
            break;
    }
}

}  // namespace

int LanguageFlagIndex(const QString& caption) {
    for (const NamedFlag& flag : kNamedFlags) {
        if (caption == QStringView(flag.caption)) {
            return flag.index;
        }
    }
    return kGenericLanguageFlag;
}

QImage PaintLanguageFlag(int index) {
    if (index < 0 || index >= kLanguageFlagCount) {
        return {};
    }
    const FlagDesign& design = kFlags[static_cast<std::size_t>(index)];
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PaintBands(painter, design);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintEmblem(painter, design);
    painter.end();
    return image;
}
