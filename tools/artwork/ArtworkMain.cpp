// kv4_artwork: draws every bitmap of the panel with QPainter and writes them as PNG files named
// by their resource id. All artwork is our own, drawn here by code, so it can be remade at any
// time (tools/make-artwork.sh).
//
//   kv4_artwork OUTDIR [--preview FILE.png] [--preview-idle FILE.png] [--sheet FILE.png]
//
// --preview composes the panel as an operator sees it with a unit connected (background,
// buttons, info panel, digits, a logo, a few knob displays drawn the way the panel draws
// them); --preview-idle shows it with no unit selected; --sheet lays out every other bitmap
// enlarged twice.

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>

namespace {

// ---------------------------------------------------------------------------------------
// Palette
// ---------------------------------------------------------------------------------------

// The centre of the panel: deep charcoal with a hint of blue.
const QColor kBaseTop(41, 46, 54);
const QColor kBaseBottom(26, 29, 35);
// Raised plates that group the controls.
const QColor kPlateTop(47, 52, 61);
const QColor kPlateBottom(37, 41, 48);
const QColor kPlateEdge(14, 16, 19);
const QColor kPlateLight(80, 87, 99);
// The grey metal margins that carry the knob displays.
const QColor kMarginTop(86, 89, 95);
const QColor kMarginBottom(70, 73, 79);
// The header band and the model logos share one vertical gradient, so the logos sit in it
// without a seam.
const QColor kHeaderTop(32, 36, 43);
const QColor kHeaderBottom(21, 24, 29);
// Dark recessed fields (info panel, unit strip, title strip).
const QColor kFieldTop(13, 15, 19);
const QColor kFieldBottom(19, 22, 27);
// Sockets the buttons sit in.
const QColor kSocket(15, 17, 20);
// Accent green of the panel (the title label and the knob bars use the same family).
const QColor kAccent(145, 192, 74);
const QColor kAccentDeep(106, 158, 48);
// Printed labels.
const QColor kLabel(196, 201, 208);
const QColor kEngrave(118, 127, 140);

// ---------------------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------------------

QFont Face(int pixels, bool bold = false, double spacing = 0.0) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (spacing != 0.0) font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

// A small deterministic generator, so that the textures (and so the PNG files) come out the
// same on every run.
class Rng {
public:
    explicit Rng(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    // Uniform in [-1, 1].
    double Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return (m_state & 0xFFFFFF) / double(0x7FFFFF) - 1.0;
    }

private:
    uint32_t m_state;
};

// A grain layer: light and dark dots of low opacity. Brushed grain is smeared along the rows
// and has a slow per-row variation, like brushed metal.
QImage MakeGrain(QSize size, uint32_t seed, double strength, bool brushed) {
    QImage grain(size, QImage::Format_ARGB32_Premultiplied);
    Rng rng(seed);
    std::vector<double> row(size.width());
    for (int y = 0; y < size.height(); ++y) {
        const double rowBias = brushed ? rng.Next() * 0.45 : 0.0;
        for (double& v : row)
            v = rng.Next();
        if (brushed) {
            // Smear along the row.
            std::vector<double> smooth(row.size());
            const int reach = 6;
            for (int x = 0; x < size.width(); ++x) {
                double sum = 0;
                int n = 0;
                for (int k = -reach; k <= reach; ++k) {
                    const int xx = x + k;
                    if (xx < 0 || xx >= size.width()) continue;
                    sum += row[xx];
                    ++n;
                }
                smooth[x] = sum / n * 2.2;
            }
            row = smooth;
        }
        auto* line = reinterpret_cast<QRgb*>(grain.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            double v = row[x] * 0.7 + rowBias;
            v = std::clamp(v, -1.0, 1.0);
            const int a = int(std::lround(std::abs(v) * strength));
            const int c = v > 0 ? a : 0;  // premultiplied white or black
            line[x] = qRgba(c, c, c, a);
        }
    }
    return grain;
}

void Grain(QPainter& p, const QPainterPath& area, uint32_t seed, double strength, bool brushed) {
    const QRect box = area.boundingRect().toAlignedRect();
    if (box.isEmpty()) return;
    p.save();
    p.setClipPath(area, Qt::IntersectClip);
    p.drawImage(box.topLeft(), MakeGrain(box.size(), seed, strength, brushed));
    p.restore();
}

QPainterPath RoundedPath(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QLinearGradient Vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// A 1-pixel line from (x1, y) to (x2, y) or (x, y1) to (x, y2), pixel-exact.
void HLine(QPainter& p, int x1, int x2, int y, const QColor& c) {
    p.fillRect(QRect(x1, y, x2 - x1 + 1, 1), c);
}
void VLine(QPainter& p, int x, int y1, int y2, const QColor& c) {
    p.fillRect(QRect(x, y1, 1, y2 - y1 + 1), c);
}

// A raised plate: gradient, fine grain, dark outline, light top edge and a soft drop shadow.
void Plate(QPainter& p, const QRect& r, uint32_t seed, double radius = 6) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // Drop shadow below the plate.
    for (int i = 3; i >= 1; --i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 26));
        p.drawPath(
            RoundedPath(QRectF(r).adjusted(-i + 0.5, -i + 1.5, i - 0.5, i + 1.5), radius + i));
    }
    const QRectF outer = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setBrush(Vertical(outer, kPlateTop, kPlateBottom));
    p.setPen(QPen(kPlateEdge, 1));
    p.drawPath(RoundedPath(outer, radius));
    Grain(p, RoundedPath(QRectF(r).adjusted(1, 1, -1, -1), radius - 1), seed, 7, false);
    // Light top edge, fading towards the sides.
    QLinearGradient edge(r.left(), 0, r.right(), 0);
    QColor clear = kPlateLight;
    clear.setAlpha(0);
    edge.setColorAt(0, clear);
    edge.setColorAt(0.12, kPlateLight);
    edge.setColorAt(0.88, kPlateLight);
    edge.setColorAt(1, clear);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(r.left() + int(radius), r.top() + 1, r.width() - 2 * int(radius), 1), edge);
    p.restore();
}

// A recessed dark field with an inner shadow at the top and a faint light lip at the bottom.
void Field(QPainter& p, const QRect& r, double radius = 3) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF outer = QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    // Light lip below and right of the recess.
    p.setBrush(QColor(255, 255, 255, 18));
    p.drawPath(RoundedPath(outer.adjusted(0, 0, 1, 1), radius));
    p.setBrush(Vertical(outer, kFieldTop, kFieldBottom));
    p.setPen(QPen(QColor(6, 7, 9), 1));
    p.drawPath(RoundedPath(outer, radius));
    p.setRenderHint(QPainter::Antialiasing, false);
    // Inner shadow under the top edge.
    HLine(p, r.left() + 2, r.right() - 2, r.top() + 1, QColor(0, 0, 0, 90));
    HLine(p, r.left() + 2, r.right() - 2, r.top() + 2, QColor(0, 0, 0, 40));
    p.restore();
}

// Text drawn as if engraved: a dark line under a lighter one.
void Engraved(QPainter& p, const QRect& r, int flags, const QString& text, const QFont& font,
              const QColor& color) {
    p.save();
    p.setFont(font);
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(r.translated(0, 1), flags, text);
    p.setPen(color);
    p.drawText(r, flags, text);
    p.restore();
}

// The maker's emblem: two overlapping rounded squares, a foreground layer (green) keyed over
// a background layer (outlined), with the overlap lit, drawn into a square of side s at (x, y).
void Emblem(QPainter& p, double x, double y, double s, const QColor& outline) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double k = s * 0.64;
    const double rad = s * 0.16;
    const QRectF back(x + s - k, y, k, k);
    const QRectF front(x, y + s - k, k, k);
    const double w = std::max(1.0, s / 14.0);
    p.setPen(QPen(outline, w));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(back.adjusted(w / 2, w / 2, -w / 2, -w / 2), rad, rad);
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(front, kAccent, kAccentDeep));
    p.drawRoundedRect(front, rad, rad);
    // The overlap: the key, drawn lighter.
    QPainterPath a = RoundedPath(back, rad);
    QPainterPath b = RoundedPath(front, rad);
    p.setBrush(QColor(214, 236, 178));
    p.drawPath(a.intersected(b));
    p.restore();
}

// ---------------------------------------------------------------------------------------
// Layout of the main panel (client pixels)
// ---------------------------------------------------------------------------------------

const int kKnobY[4] = {0, 170, 340, 509};
const QSize kKnobSize(148, 91);
const QPoint kMenuButtons[10] = {{242, 114}, {362, 114}, {482, 114}, {182, 163}, {302, 163},
                                 {422, 163}, {542, 163}, {242, 212}, {362, 212}, {482, 212}};
const QSize kMenuButtonSize(74, 33);
const int kFunctionX[6] = {167, 245, 323, 401, 479, 557};
const int kFunctionY = 305;
const QSize kFunctionButtonSize(76, 35);
const QPoint kInfoPanel(171, 398);
const QSize kInfoSize(458, 82);
const QPoint kUnitStrip(171, 509);
const QPoint kTitleStrip(171, 560);
const QRect kLogoRect(300, 0, 200, 28);
const int kOnlineDigitX[4] = {227, 247, 267, 287};
const int kActiveDigitX = 376;
const int kDigitY = 513;
const QRect kSwatch(475, 513, 47, 17);  // (475, 513)-(521, 529)
const QRect kLamp(585, 513, 37, 17);    // (585, 513)-(621, 529)
// The unit title band of the title strip: x 110..310, y 4..19 of the strip.
const QRect kTitleBand(171 + 110, 560 + 4, 200, 15);

const int kMarginRight = 151;  // the left margin plate ends here
const int kMarginLeft = 648;   // the right margin plate starts here

const QRect kGroupPlate(158, 34, 484, 226);
const QRect kFunctionPlate(158, 294, 484, 57);
const QRect kStatusPlate(158, 387, 484, 208);

// ---------------------------------------------------------------------------------------
// Buttons (157, 160, 159)
// ---------------------------------------------------------------------------------------

QImage ButtonFace(QSize size, const QColor& top, const QColor& bottom, const QColor& rim,
                  uint32_t seed) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(kSocket);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF face = QRectF(0, 0, size.width(), size.height()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = 4;
    p.setPen(Qt::NoPen);
    QLinearGradient g = Vertical(face, top, bottom);
    g.setColorAt(0.48, top.darker(108));
    g.setColorAt(0.52, bottom.lighter(112));
    p.setBrush(g);
    p.drawPath(RoundedPath(face, radius));
    Grain(p, RoundedPath(face.adjusted(1, 1, -1, -1), radius - 1), seed, 12, true);
    // Bevel: a light rim at the top and left, a darker one at the bottom.
    p.setBrush(Qt::NoBrush);
    QLinearGradient bevel(face.topLeft(), face.bottomLeft());
    bevel.setColorAt(0, rim);
    bevel.setColorAt(0.35, QColor(rim.red(), rim.green(), rim.blue(), 40));
    bevel.setColorAt(0.65, QColor(0, 0, 0, 0));
    bevel.setColorAt(1, QColor(0, 0, 0, 110));
    p.setPen(QPen(QBrush(bevel), 1));
    p.drawPath(RoundedPath(face.adjusted(1, 1, -1, -1), radius - 1));
    p.setPen(QPen(QColor(8, 9, 11), 1));
    p.drawPath(RoundedPath(face, radius));
    return img;
}

QImage GreyButton(QSize size, uint32_t seed) {
    return ButtonFace(size, QColor(98, 103, 111), QColor(62, 66, 73), QColor(160, 166, 176), seed);
}

QImage GreenButton(QSize size, uint32_t seed) {
    return ButtonFace(size, QColor(84, 142, 46), QColor(42, 92, 24), QColor(168, 214, 120), seed);
}

// ---------------------------------------------------------------------------------------
// Unit digits (144, 148, 149, 150)
// ---------------------------------------------------------------------------------------

QImage DigitBox(int digit) {
    QImage img(15, 15, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(img.rect(),
               Vertical(QRectF(0, 0, 15, 15), QColor(92, 170, 52), QColor(48, 118, 28)));
    p.setPen(QColor(22, 60, 12));
    p.drawRect(0, 0, 14, 14);
    HLine(p, 1, 13, 1, QColor(150, 210, 110));
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(Face(11, true));
    p.setPen(QColor(0, 40, 0, 120));
    p.drawText(QRect(0, 1, 15, 15), Qt::AlignCenter, QString::number(digit));
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 15, 15), Qt::AlignCenter, QString::number(digit));
    return img;
}

// ---------------------------------------------------------------------------------------
// Info panel (136)
// ---------------------------------------------------------------------------------------

QImage InfoPanel() {
    QImage img(kInfoSize, QImage::Format_RGB32);
    QPainter p(&img);
    // Frame in the plate's colour with a dark outline.
    p.fillRect(img.rect(), Vertical(QRectF(img.rect()), QColor(40, 44, 52), QColor(33, 37, 44)));
    p.setPen(QColor(10, 11, 13));
    p.drawRect(0, 0, kInfoSize.width() - 1, kInfoSize.height() - 1);
    HLine(p, 1, kInfoSize.width() - 2, 1, QColor(70, 77, 88));
    // The label column: "INFO" reading upwards.
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.translate(4, kInfoSize.height() / 2);
    p.rotate(-90);
    Engraved(p, QRect(-40, 0, 80, 14), Qt::AlignCenter, QStringLiteral("INFO"), Face(9, true, 2.0),
             QColor(150, 158, 170));
    p.restore();
    // The dark text field.
    const QRect field(21, 3, kInfoSize.width() - 21 - 3, kInfoSize.height() - 6);
    Field(p, field, 3);
    // A faint glass sheen in the upper part of the field.
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sheen(0, field.top(), 0, field.top() + 30);
    sheen.setColorAt(0, QColor(255, 255, 255, 10));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(field.adjusted(2, 3, -2, -field.height() + 30), sheen);
    return img;
}

// ---------------------------------------------------------------------------------------
// Logos (1053, 1061..1067, 1127; 158; 128)
// ---------------------------------------------------------------------------------------

void HeaderGradient(QPainter& p, const QRect& r) {
    // Only a vertical gradient over the header's full height, so any piece of it matches.
    QLinearGradient g(0, 0, 0, 28);
    g.setColorAt(0, kHeaderTop);
    g.setColorAt(1, kHeaderBottom);
    p.fillRect(r, g);
}

// A model wordmark: emblem, the model's name, "KV4" in green and an optional variant badge,
// centred in the image.
QImage ModelLogo(QSize size, const QString& name, const QString& badge) {
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    HeaderGradient(p, img.rect());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    const QFont nameFont = Face(15, true, 2.0);
    const QFont kvFont = Face(15, true, 0.5);
    const QFont badgeFont = Face(9, true, 0.5);
    const QFontMetrics nm(nameFont), km(kvFont), bm(badgeFont);
    const int emblem = 16;
    const int gap = 8;
    const int nameW = nm.horizontalAdvance(name) - 2;  // the trailing letter spacing
    const int kvW = km.horizontalAdvance(QStringLiteral("KV4"));
    const int badgeW = badge.isEmpty() ? 0 : bm.horizontalAdvance(badge) + 8;
    int total = emblem + gap + nameW + 6 + kvW + (badge.isEmpty() ? 0 : 6 + badgeW);
    int x = (size.width() - total) / 2;
    const int baseline = 19;

    Emblem(p, x, 6, emblem, QColor(170, 178, 190));
    x += emblem + gap;
    p.setFont(nameFont);
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(QPoint(x, baseline + 1), name);
    p.setPen(QColor(232, 235, 240));
    p.drawText(QPoint(x, baseline), name);
    x += nameW + 6;
    p.setFont(kvFont);
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(QPoint(x, baseline + 1), QStringLiteral("KV4"));
    p.setPen(kAccent);
    p.drawText(QPoint(x, baseline), QStringLiteral("KV4"));
    x += kvW + 6;
    if (!badge.isEmpty()) {
        const QRectF box(x + 0.5, 8.5, badgeW - 1, 12);
        p.setPen(QPen(QColor(150, 158, 170), 1));
        p.setBrush(QColor(255, 255, 255, 14));
        p.drawRoundedRect(box, 2.5, 2.5);
        p.setFont(badgeFont);
        p.setPen(QColor(205, 210, 218));
        p.drawText(box.adjusted(0, 0, 0, 0), Qt::AlignCenter, badge);
    }
    // A hairline underneath, fading to the ends, to tie the logo into the header.
    QLinearGradient line(0, 0, size.width(), 0);
    line.setColorAt(0, QColor(145, 192, 74, 0));
    line.setColorAt(0.5, QColor(145, 192, 74, 90));
    line.setColorAt(1, QColor(145, 192, 74, 0));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(20, 25, size.width() - 40, 1), line);
    return img;
}

// The neutral logo shown while no unit is selected (164 x 28).
QImage DefaultLogo() {
    const QSize size(164, 28);
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    HeaderGradient(p, img.rect());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont kvFont = Face(16, true, 1.0);
    const QFont subFont = Face(8, true, 1.6);
    const QFontMetrics km(kvFont), sm(subFont);
    const QString kv = QStringLiteral("KV4");
    const QString sub = QStringLiteral("REMOTE");
    const QString sub2 = QStringLiteral("PANEL");
    const int emblem = 16;
    const int kvW = km.horizontalAdvance(kv) - 1;
    const int subW = std::max(sm.horizontalAdvance(sub), sm.horizontalAdvance(sub2)) - 2;
    const int total = emblem + 8 + kvW + 8 + 1 + 8 + subW;
    int x = (size.width() - total) / 2;
    Emblem(p, x, 6, emblem, QColor(170, 178, 190));
    x += emblem + 8;
    p.setFont(kvFont);
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(QPoint(x, 21), kv);
    p.setPen(QColor(232, 235, 240));
    p.drawText(QPoint(x, 20), kv);
    x += kvW + 8;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(x, 7, 1, 15), QColor(96, 104, 116));
    x += 9;
    p.setFont(subFont);
    p.setPen(kAccent);
    p.drawText(QPoint(x, 13), sub);
    p.setPen(QColor(160, 168, 180));
    p.drawText(QPoint(x, 22), sub2);
    return img;
}

// The About dialog's picture, across the top of its client area. Its upper part is a calm, light
// field that the dialog's own text is drawn on (dark text, starting 10 px from the top, centred;
// room for nine lines); the maker's wordmark sits in a dark band at the bottom.
QImage AboutLogo() {
    const QSize size(363, 190);
    const int band = 150;
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(QRect(0, 0, size.width(), band),
               Vertical(QRectF(0, 0, 1, band), QColor(239, 239, 239), QColor(226, 229, 233)));
    // A large, very faint emblem at the right of the light field.
    p.setOpacity(0.05);
    Emblem(p, size.width() - 84, 8, 72, QColor(40, 48, 60));
    p.setOpacity(1.0);
    // Accent line and the dark band.
    p.fillRect(QRect(0, band, size.width(), 2), kAccentDeep);
    p.fillRect(
        QRect(0, band + 2, size.width(), size.height() - band - 2),
        Vertical(QRectF(0, band + 2, 1, size.height() - band - 2), kHeaderTop, kHeaderBottom));
    Emblem(p, 16, band + 8, 24, QColor(176, 184, 196));
    p.setFont(Face(20, true, 4.0));
    p.setPen(QColor(0, 0, 0, 170));
    p.drawText(QPoint(52, band + 30), QStringLiteral("QUORVANE"));
    p.setPen(QColor(236, 239, 243));
    p.drawText(QPoint(52, band + 29), QStringLiteral("QUORVANE"));
    p.setFont(Face(10, true, 1.2));
    p.setPen(kAccent);
    p.drawText(QRect(0, band + 8, size.width() - 14, 14), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("KV4"));
    p.setFont(Face(9, false, 0.8));
    p.setPen(QColor(160, 168, 180));
    p.drawText(QRect(0, band + 22, size.width() - 14, 14), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Remote Control Panel"));
    return img;
}

// The application icon (128 x 128, transparent outside its rounded square).
QImage AppIcon() {
    const int s = 128;
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF tile(4.5, 4.5, s - 9, s - 9);
    // Shadow.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(tile.translated(0, 2), 24, 24);
    p.setBrush(Vertical(tile, QColor(58, 65, 77), QColor(24, 27, 33)));
    p.setPen(QPen(QColor(10, 11, 13), 1));
    p.drawRoundedRect(tile, 24, 24);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(tile.adjusted(2, 2, -2, -2), 22, 22);
    Emblem(p, 30, 18, 68, QColor(190, 198, 210));
    p.setFont(Face(26, true, 2.0));
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(QRect(0, 88, s + 2, 32), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("KV4"));
    p.setPen(QColor(236, 239, 243));
    p.drawText(QRect(0, 87, s + 2, 32), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("KV4"));
    return img;
}

// ---------------------------------------------------------------------------------------
// Background (152)
// ---------------------------------------------------------------------------------------

// The recessed well a knob display sits in, with a dark "screen off" face for while the
// display is hidden.
void KnobWell(QPainter& p, const QRect& r, int index) {
    p.save();
    // Recess around the display: three pixels of shadow on the outside.
    const QRect f1 = r.adjusted(-1, -1, 1, 1);
    const QRect f2 = r.adjusted(-2, -2, 2, 2);
    const QRect f3 = r.adjusted(-3, -3, 3, 3);
    p.setPen(Qt::NoPen);
    p.fillRect(f3, QColor(118, 122, 129));  // light lip of the metal
    p.fillRect(f3.adjusted(0, 0, -1, -1), QColor(44, 46, 50));
    p.fillRect(f2, QColor(24, 25, 28));
    p.fillRect(f1, QColor(8, 9, 10));
    // The face: dark glass with a soft reflection.
    p.fillRect(r, Vertical(QRectF(r), QColor(44, 48, 54), QColor(30, 33, 38)));
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath sheen;
    sheen.moveTo(r.left(), r.top());
    sheen.lineTo(r.left() + r.width() * 0.62, r.top());
    sheen.lineTo(r.left() + r.width() * 0.38, r.bottom() + 1);
    sheen.lineTo(r.left(), r.bottom() + 1);
    sheen.closeSubpath();
    p.setBrush(QColor(255, 255, 255, 7));
    p.drawPath(sheen);
    // Faint legend: the knob's number in a ring.
    const QPointF c(r.center().x() + 0.5, r.center().y() + 0.5);
    p.setPen(QPen(QColor(255, 255, 255, 22), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 17, 17);
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    for (int i = 0; i < 11; ++i) {
        const double a = (225.0 - i * 27.0) * M_PI / 180.0;
        p.drawLine(QPointF(c.x() + std::cos(a) * 22, c.y() - std::sin(a) * 22),
                   QPointF(c.x() + std::cos(a) * 25, c.y() - std::sin(a) * 25));
    }
    p.setFont(Face(15, true));
    p.setPen(QColor(255, 255, 255, 36));
    p.drawText(QRectF(c.x() - 17, c.y() - 17, 34, 34), Qt::AlignCenter, QString::number(index + 1));
    p.restore();
}

// Three ventilation slots between two knob wells.
void VentSlots(QPainter& p, int x0, int x1, int yTop, int yBottom) {
    const int mid = (yTop + yBottom) / 2;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int i = -1; i <= 1; ++i) {
        const double y = mid + i * 9;
        const QRectF slot(x0 + 0.5, y - 1.5, x1 - x0, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 34));
        p.drawRoundedRect(slot.translated(0, 1), 1.5, 1.5);
        p.setBrush(QColor(22, 23, 26));
        p.drawRoundedRect(slot, 1.5, 1.5);
    }
    p.restore();
}

// The recess a button sits in: a dark ring around it and, for while the button is hidden, a
// shallow empty cell in its place.
void SocketRing(QPainter& p, const QRect& outer) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF s = QRectF(outer).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 20));
    p.drawRoundedRect(s.translated(0, 1), 6, 6);
    p.setBrush(kSocket);
    p.setPen(QPen(QColor(6, 7, 8), 1));
    p.drawRoundedRect(s, 6, 6);
    p.restore();
}

void EmptyCell(QPainter& p, const QRect& button) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF c = QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(c, QColor(27, 30, 35), QColor(33, 37, 43)));
    p.drawRoundedRect(c, 4, 4);
    p.setRenderHint(QPainter::Antialiasing, false);
    HLine(p, button.left() + 3, button.right() - 3, button.top() + 1, QColor(0, 0, 0, 70));
    HLine(p, button.left() + 3, button.right() - 3, button.bottom() - 1, QColor(255, 255, 255, 12));
    p.restore();
}

void ButtonSocket(QPainter& p, const QRect& button) {
    SocketRing(p, button.adjusted(-3, -3, 3, 3));
    EmptyCell(p, button);
}

void Label(QPainter& p, const QRect& r, int flags, const QString& text) {
    Engraved(p, r, flags, text, Face(12), kLabel);
}

// One grey digit box of the unit strip, printed where the green digit appears when the unit
// is on line.
void GreyDigit(QPainter& p, int x, int y, int digit) {
    p.save();
    p.fillRect(QRect(x, y, 15, 15),
               Vertical(QRectF(x, y, 15, 15), QColor(78, 83, 91), QColor(58, 62, 69)));
    p.setPen(QColor(22, 24, 28));
    p.drawRect(x, y, 14, 14);
    HLine(p, x + 1, x + 13, y + 1, QColor(104, 110, 120));
    p.setFont(Face(11, true));
    p.setPen(QColor(150, 156, 164));
    p.drawText(QRect(x, y, 15, 15), Qt::AlignCenter, QString::number(digit));
    p.restore();
}

QImage Background() {
    QImage img(800, 600, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    // Centre: deep charcoal, a touch lighter at the top, with a soft glow behind the controls.
    p.fillRect(img.rect(), Vertical(QRectF(0, 0, 1, 600), kBaseTop, kBaseBottom));
    {
        QRadialGradient glow(QPointF(400, 190), 300);
        glow.setColorAt(0, QColor(90, 110, 140, 22));
        glow.setColorAt(1, QColor(90, 110, 140, 0));
        p.fillRect(QRect(kMarginRight, 0, kMarginLeft - kMarginRight, 600), glow);
    }
    Grain(p, RoundedPath(QRectF(kMarginRight, 0, kMarginLeft - kMarginRight, 600), 0), 11, 5,
          false);

    // Header band with the logo in its middle.
    HeaderGradient(p, QRect(kMarginRight + 1, 0, kMarginLeft - kMarginRight - 1, 28));
    HLine(p, kMarginRight + 1, kMarginLeft - 1, 28, QColor(8, 9, 11));
    HLine(p, kMarginRight + 1, kMarginLeft - 1, 29, QColor(64, 70, 80));
    Engraved(p, QRect(kMarginRight + 14, 0, 130, 28), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("QUORVANE"), Face(9, true, 2.4), kEngrave);
    Engraved(p, QRect(kMarginLeft - 14 - 140, 0, 140, 28), Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("KEYER CONTROL"), Face(9, true, 2.4), kEngrave);

    // The grey margins that carry the knob displays.
    for (const QRect& m :
         {QRect(0, 0, kMarginRight + 1, 600), QRect(kMarginLeft, 0, 800 - kMarginLeft, 600)}) {
        p.fillRect(m, Vertical(QRectF(m), kMarginTop, kMarginBottom));
        Grain(p, RoundedPath(QRectF(m), 0), m.left() == 0 ? 21 : 22, 14, true);
    }
    // Their inner edges: a light lip on the metal, a dark step down into the centre.
    VLine(p, kMarginRight - 1, 0, 599, QColor(120, 124, 131));
    VLine(p, kMarginRight, 0, 599, QColor(10, 11, 13));
    VLine(p, kMarginRight + 1, 0, 599, QColor(0, 0, 0, 90));
    VLine(p, kMarginLeft, 0, 599, QColor(10, 11, 13));
    VLine(p, kMarginLeft + 1, 0, 599, QColor(120, 124, 131));
    VLine(p, kMarginLeft - 1, 0, 599, QColor(0, 0, 0, 90));

    // Knob wells and the ventilation slots between them.
    for (int side = 0; side < 2; ++side) {
        const int x = side == 0 ? 0 : 652;
        for (int k = 0; k < 4; ++k) {
            KnobWell(p, QRect(QPoint(x, kKnobY[k]), kKnobSize), side * 4 + k);
        }
        for (int k = 0; k < 3; ++k) {
            const int top = kKnobY[k] + kKnobSize.height() + 3;
            const int bottom = kKnobY[k + 1] - 3;
            const int x0 = side == 0 ? 22 : 652 + 22;
            VentSlots(p, x0, x0 + 104, top, bottom);
        }
    }

    // Control groups: the plate, a divider under the title, and the button sockets.
    Plate(p, kGroupPlate, 31);
    {
        const int y = 74;
        QLinearGradient dark(200, 0, 600, 0), light(200, 0, 600, 0);
        for (auto* g : {&dark, &light}) {
            const QColor c = g == &dark ? QColor(8, 9, 11) : QColor(90, 98, 110);
            QColor clear = c;
            clear.setAlpha(0);
            g->setColorAt(0, clear);
            g->setColorAt(0.2, c);
            g->setColorAt(0.8, c);
            g->setColorAt(1, clear);
        }
        p.fillRect(QRect(200, y, 400, 1), dark);
        p.fillRect(QRect(200, y + 1, 400, 1), light);
    }
    for (const QPoint& b : kMenuButtons)
        ButtonSocket(p, QRect(b, kMenuButtonSize));

    // Function buttons.
    Engraved(p, QRect(kFunctionPlate.left() + 4, kFunctionPlate.top() - 16, 200, 14),
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("FUNCTIONS"), Face(9, true, 2.0),
             kEngrave);
    Plate(p, kFunctionPlate, 41);
    // One channel for the row of function buttons, a cell for each.
    SocketRing(p, QRect(kFunctionX[0] - 3, kFunctionY - 3,
                        kFunctionX[5] + kFunctionButtonSize.width() - kFunctionX[0] + 6,
                        kFunctionButtonSize.height() + 6));
    for (int x : kFunctionX)
        EmptyCell(p, QRect(QPoint(x, kFunctionY), kFunctionButtonSize));

    // Status box: info panel, unit strip, unit title.
    Engraved(p, QRect(kStatusPlate.left() + 4, kStatusPlate.top() - 16, 200, 14),
             Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("STATUS"), Face(9, true, 2.0),
             kEngrave);
    Plate(p, kStatusPlate, 51);
    // A recess the info panel bitmap drops into.
    {
        const QRect info(kInfoPanel, kInfoSize);
        p.fillRect(info.adjusted(-2, -2, 2, 2), QColor(8, 9, 11));
        HLine(p, info.left() - 2, info.right() + 2, info.bottom() + 3, QColor(255, 255, 255, 22));
    }
    // Separators between the three rows.
    for (int y : {495, 546}) {
        HLine(p, kStatusPlate.left() + 10, kStatusPlate.right() - 10, y, QColor(14, 16, 19));
        HLine(p, kStatusPlate.left() + 10, kStatusPlate.right() - 10, y + 1, QColor(66, 72, 82));
    }
    // The unit strip.
    {
        const QRect row(kUnitStrip.x(), kUnitStrip.y() - 4, kInfoSize.width(), 25);
        Field(p, row, 3);
        const int ty = kDigitY;
        Label(p, QRect(row.left() + 6, ty, kOnlineDigitX[0] - 5 - row.left() - 6, 15),
              Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Online"));
        for (int k = 0; k < 4; ++k)
            GreyDigit(p, kOnlineDigitX[k], ty, k + 1);
        Label(p, QRect(kActiveDigitX - 70, ty, 65, 15), Qt::AlignRight | Qt::AlignVCenter,
              QStringLiteral("Active"));
        // The empty Active box.
        p.fillRect(QRect(kActiveDigitX, ty, 15, 15), QColor(8, 9, 11));
        p.setPen(QColor(96, 102, 112));
        p.drawRect(kActiveDigitX, ty, 14, 14);
        Label(p, QRect(kSwatch.left() - 75, ty, 70, 15), Qt::AlignRight | Qt::AlignVCenter,
              QStringLiteral("Backing"));
        Label(p, QRect(kLamp.left() - 65, ty, 60, 15), Qt::AlignRight | Qt::AlignVCenter,
              QStringLiteral("On Air"));
    }
    // The unit title strip.
    {
        const QRect row(kTitleStrip.x(), kTitleStrip.y() - 3, kInfoSize.width(), 26);
        Field(p, row, 3);
        Label(p, QRect(kTitleBand.left() - 80, kTitleBand.top(), 74, 15),
              Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Unit Title"));
        // A fine frame where the title band is painted.
        p.setPen(QColor(60, 66, 76));
        p.drawRect(kTitleBand.adjusted(-1, -1, 0, 0));
        p.fillRect(kTitleBand, QColor(89, 89, 89));
    }
    return img;
}

// ---------------------------------------------------------------------------------------
// Preview: the panel as the program draws it over these bitmaps
// ---------------------------------------------------------------------------------------

QFont PanelFace(int pixels, bool bold) {
    // The panel substitutes "Trebuchet MS" by DejaVu Sans.
    return Face(pixels, bold);
}

void PreviewKnob(QPainter& p, QPoint at, const QString& name, int minV, int maxV, int value,
                 int value2, const QString& lo, const QString& hi, const QString& text) {
    p.save();
    p.translate(at);
    const int W = 148, H = 91;
    p.setPen(Qt::black);
    p.setBrush(QColor(153, 153, 153));
    p.drawRect(0, 0, W - 1, H - 1);
    const int bar = int(W * (double(value - minV) / (maxV - minV) + 0.001));
    if (bar > 0) {
        p.setBrush(QColor(127, 183, 59));
        p.drawRect(0, 0, bar - 1, H - 1);
    }
    int tick = int(W * double(value2 - minV) / (maxV - minV));
    if (tick > 0) --tick;
    p.setPen(Qt::white);
    p.drawLine(tick, 89, tick, 82);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::black);
    p.setBrush(QColor(64, 64, 64));
    p.drawRoundedRect(QRectF(49.5, 60.5, 49, 19), 5, 5);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(PanelFace(12, false));
    p.drawText(QRect(5, 65, 45, 20), Qt::AlignLeft | Qt::AlignTop, lo);
    p.drawText(QRect(98, 65, 45, 20), Qt::AlignRight | Qt::AlignTop, hi);
    p.setFont(PanelFace(16, true));
    p.drawText(QRect(0, 5, 148, 91), Qt::AlignHCenter | Qt::AlignTop, name);
    p.setFont(PanelFace(12, false));
    p.setPen(Qt::white);
    p.drawText(QRect(50, 61, 49, 19), Qt::AlignHCenter | Qt::AlignTop, text);
    p.restore();
}

void PreviewButton(QPainter& p, const QImage& face, QPoint at, const QString& caption) {
    p.drawImage(at, face);
    if (caption.isEmpty()) return;
    p.setFont(PanelFace(13, false));
    p.setPen(QColor(217, 217, 217));
    QRect r(at, face.size());
    r.translate(0, -1);
    const int lf = caption.indexOf(QLatin1Char('\n'));
    if (lf < 0) {
        p.drawText(r, Qt::AlignCenter, caption);
    } else {
        p.drawText(r, Qt::AlignHCenter | Qt::AlignTop, caption.left(lf));
        p.drawText(r.translated(0, 16), Qt::AlignHCenter | Qt::AlignTop, caption.mid(lf + 1));
    }
}

QImage Preview(const std::map<int, QImage>& bm, bool connected) {
    QImage img = bm.at(152).copy();
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    if (!connected) {
        p.drawImage(kLogoRect.topLeft(), bm.at(1064));
    } else {
        p.drawImage(kLogoRect.topLeft(), bm.at(1066));
        PreviewKnob(p, {0, 0}, QStringLiteral("Clip"), 0, 200, 118, 100, QStringLiteral("0%"),
                    QStringLiteral("100%"), QStringLiteral("59%"));
        PreviewKnob(p, {0, 170}, QStringLiteral("Gain"), 0, 200, 74, 100, QStringLiteral("0%"),
                    QStringLiteral("100%"), QStringLiteral("37%"));
        PreviewKnob(p, {0, 340}, QStringLiteral("Flare\nSuppress"), 0, 100, 25, 40,
                    QStringLiteral("0%"), QStringLiteral("100%"), QStringLiteral("25%"));
        PreviewKnob(p, {652, 0}, QStringLiteral("Matte Density"), 0, 100, 90, 50,
                    QStringLiteral("0%"), QStringLiteral("100%"), QStringLiteral("90%"));
        PreviewKnob(p, {652, 170}, QStringLiteral("Hue"), 0, 100, 50, 50, QStringLiteral("0"),
                    QStringLiteral("100"), QStringLiteral("50"));
        // The title label.
        p.setFont(PanelFace(21, true));
        p.setPen(QColor(145, 192, 74));
        p.drawText(QRect(150, 36, 501, 28), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Foreground Key"));
        const char* menus[10] = {"Key",   "Matte", "Colour", "Input", "Flare",
                                 "Edges", "Blend", "Files",  "Setup", "Effects"};
        for (int i = 0; i < 10; ++i) {
            PreviewButton(p, bm.at(157), kMenuButtons[i], QString::fromLatin1(menus[i]));
        }
        const char* functions[6] = {"Key\nInvert", "Matte\nOnly", "Auto\nSetup",
                                    "Bypass",      "Hold",        "Insert\nKeyframe"};
        for (int i = 0; i < 6; ++i) {
            PreviewButton(p, bm.at(i == 1 ? 159 : 160), {kFunctionX[i], kFunctionY},
                          QString::fromLatin1(functions[i]));
        }
    }
    // Info panel.
    p.drawImage(kInfoPanel, bm.at(136));
    p.save();
    p.translate(kInfoPanel);
    if (!connected) {
        p.setFont(PanelFace(16, false));
        p.setPen(QColor(255, 255, 0));
        p.drawText(QRect(10, 10, 470, 140), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Select an Online Main Unit!"));
    } else {
        p.setFont(PanelFace(13, false));
        p.setPen(QColor(210, 210, 210));
        p.drawText(QRect(50, 10, 355, 15), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("Screen Color:  R = 12%   G = 71%   B = 24%   M = 48%   Ref:"));
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::black);
        p.setBrush(QColor(0, 255, 0));
        p.drawRoundedRect(QRectF(410.5, 12.5, 19, 14), 2.5, 2.5);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QColor(210, 210, 210));
        p.drawText(QRect(50, 35, 380, 15), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("                  FG: %1  Matte 1: %2")
                       .arg(QStringLiteral("SDI 1"), -15)
                       .arg(QStringLiteral("Internal"), -15));
        p.drawText(QRect(50, 50, 380, 15), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("                  BG: %1  Matte 2: %2")
                       .arg(QStringLiteral("SDI 2"), -15)
                       .arg(QStringLiteral("None"), -15));
    }
    p.restore();
    // Unit strip: units 1 and 3 on line, 1 active and on air.
    if (connected) {
        p.drawImage(QPoint(kOnlineDigitX[0], kDigitY), bm.at(144));
        p.drawImage(QPoint(kOnlineDigitX[2], kDigitY), bm.at(149));
        p.drawImage(QPoint(kActiveDigitX, kDigitY), bm.at(144));
    } else {
        p.drawImage(QPoint(kOnlineDigitX[1], kDigitY), bm.at(148));
        p.drawImage(QPoint(kOnlineDigitX[3], kDigitY), bm.at(150));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::black);
    p.setBrush(connected ? QColor(30, 181, 61) : QColor(0, 0, 0));
    p.drawRoundedRect(QRectF(kSwatch).adjusted(0.5, 0.5, -1.5, -1.5), 2.5, 2.5);
    p.setBrush(connected ? QColor(255, 0, 0) : QColor(0, 0, 0));
    p.drawRoundedRect(QRectF(kLamp).adjusted(0.5, 0.5, -1.5, -1.5), 2.5, 2.5);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Unit title strip.
    p.fillRect(kTitleBand, QColor(89, 89, 89));
    if (connected) {
        p.setFont(PanelFace(13, false));
        p.setPen(QColor(210, 210, 210));
        p.drawText(QRect(kTitleBand.left(), kTitleBand.top() - 2, 200, 15),
                   Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Studio B Cedar"));
    }
    return img;
}

// Every bitmap but the background, enlarged twice, with its id: for looking at the details.
QImage Sheet(const std::map<int, QImage>& bm) {
    QImage img(1000, 1340, QImage::Format_RGB32);
    img.fill(QColor(120, 120, 120));
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    int x = 10, y = 10, rowH = 0;
    for (const auto& [id, image] : bm) {
        if (id == 152) continue;
        const QSize s = image.size() * 2;
        if (x + s.width() > img.width() - 10) {
            x = 10;
            y += rowH + 24;
            rowH = 0;
        }
        p.drawImage(QRect(QPoint(x, y + 14), s), image);
        p.setFont(Face(11, true));
        p.setPen(Qt::black);
        p.drawText(QPoint(x, y + 11), QString::number(id));
        x += s.width() + 14;
        rowH = std::max(rowH, s.height() + 14);
    }
    return img;
}

bool Save(const QImage& img, const QString& path) {
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "kv4_artwork: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString outDir, preview, previewIdle, sheet;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--preview") && i + 1 < args.size()) {
            preview = args[++i];
        } else if (args[i] == QLatin1String("--preview-idle") && i + 1 < args.size()) {
            previewIdle = args[++i];
        } else if (args[i] == QLatin1String("--sheet") && i + 1 < args.size()) {
            sheet = args[++i];
        } else if (!args[i].startsWith(QLatin1String("--")) && outDir.isEmpty()) {
            outDir = args[i];
        } else {
            outDir.clear();
            break;
        }
    }
    if (outDir.isEmpty()) {
        std::fprintf(stderr,
                     "usage: kv4_artwork OUTDIR [--preview FILE.png] [--preview-idle FILE.png] "
                     "[--sheet FILE.png]\n");
        return 2;
    }
    if (!QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))) {
        std::fprintf(stderr, "kv4_artwork: the font DejaVu Sans (fonts-dejavu-core) is missing\n");
        return 1;
    }
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "kv4_artwork: cannot create %s\n", qPrintable(outDir));
        return 1;
    }

    std::map<int, QImage> bitmaps;
    bitmaps[152] = Background();
    bitmaps[136] = InfoPanel();
    bitmaps[157] = GreyButton(kMenuButtonSize, 157);
    bitmaps[160] = GreyButton(kFunctionButtonSize, 160);
    bitmaps[159] = GreenButton(kFunctionButtonSize, 159);
    bitmaps[144] = DigitBox(1);
    bitmaps[148] = DigitBox(2);
    bitmaps[149] = DigitBox(3);
    bitmaps[150] = DigitBox(4);
    const QSize logo(200, 28);
    bitmaps[1053] = ModelLogo(logo, QStringLiteral("ELM"), {});                    // model code 4
    bitmaps[1061] = ModelLogo(logo, QStringLiteral("ALDER"), {});                  // model code 9
    bitmaps[1062] = ModelLogo(logo, QStringLiteral("BIRCH"), {});                  // model code 7
    bitmaps[1063] = ModelLogo(logo, QStringLiteral("DUNE"), {});                   // model code 5
    bitmaps[1065] = ModelLogo(logo, QStringLiteral("FERN"), {});                   // model code 80
    bitmaps[1066] = ModelLogo(logo, QStringLiteral("CEDAR"), {});                  // model code 11
    bitmaps[1067] = ModelLogo(logo, QStringLiteral("FERN"), QStringLiteral("B"));  // code 81
    bitmaps[1127] = ModelLogo(logo, QStringLiteral("CEDAR"), QStringLiteral("177"));  // 177
    bitmaps[1064] = DefaultLogo();
    bitmaps[158] = AboutLogo();
    bitmaps[128] = AppIcon();

    bool ok = true;
    for (const auto& [id, image] : bitmaps) {
        ok = Save(image, QDir(outDir).filePath(QStringLiteral("%1.png").arg(id))) && ok;
    }
    if (!preview.isEmpty()) ok = Save(Preview(bitmaps, true), preview) && ok;
    if (!previewIdle.isEmpty()) ok = Save(Preview(bitmaps, false), previewIdle) && ok;
    if (!sheet.isEmpty()) ok = Save(Sheet(bitmaps), sheet) && ok;
    return ok ? 0 : 1;
}
