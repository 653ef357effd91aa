#include "sim/console/SimKeyPad.h"

#include <QGridLayout>
#include <QPainter>
#include <QPainterPath>

#include "sim/SimProfile.h"
#include "sim/SimSurface.h"
#include "sim/console/ConsoleLook.h"

namespace {

constexpr std::array<uint8_t, 6> kColumnBits = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20};
constexpr int kLampDiameter = 12;
constexpr int kKeyWidth = 78;
constexpr int kKeyHeight = 50;

int ColumnOf(uint8_t bit) {
    for (size_t c = 0; c < kColumnBits.size(); ++c)
        if (kColumnBits[c] == bit) return static_cast<int>(c);
    return 0;
}

void DrawLamp(QPainter& p, const QRectF& r, bool lit, const QColor& litColor) {
    if (lit) {
        QRadialGradient glow(r.center(), r.width());
        glow.setColorAt(0.0, litColor.lighter(140));
        glow.setColorAt(0.5, litColor);
        glow.setColorAt(1.0, QColor(litColor.red(), litColor.green(), litColor.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(r.center(), r.width(), r.height());
        p.setBrush(litColor);
    } else {
        p.setBrush(kLampDark);
    }
    p.setPen(QPen(QColor(12, 12, 12), 1.0));
    p.drawEllipse(r);
}

}  // namespace

// ---- CSimLamp --------------------------------------------------------------------------------

CSimLamp::CSimLamp(const QString& caption, const QColor& litColor, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_litColor(litColor) {}

void CSimLamp::SetLit(bool lit) {
    if (lit == m_lit) return;
    m_lit = lit;
    update();
}

void CSimLamp::SetCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    updateGeometry();
    update();
}

QSize CSimLamp::sizeHint() const {
    return {kLampDiameter + 8 + fontMetrics().horizontalAdvance(m_caption), kLampDiameter + 6};
}

void CSimLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF lamp(2, (height() - kLampDiameter) / 2.0, kLampDiameter, kLampDiameter);
    DrawLamp(p, lamp, m_lit, m_litColor);
    p.setPen(kConsoleText);
    p.drawText(QRectF(lamp.right() + 5, 0, width() - lamp.right() - 5, height()),
               Qt::AlignVCenter | Qt::AlignLeft, m_caption);
}

// ---- CSimKey ---------------------------------------------------------------------------------

CSimKey::CSimKey(int row, uint8_t bit, QWidget* parent)
    : QAbstractButton(parent), m_row(row), m_bit(bit) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void CSimKey::SetLit(bool lit) {
    if (lit == m_lit) return;
    m_lit = lit;
    update();
}

QSize CSimKey::sizeHint() const {
    return {kKeyWidth, kKeyHeight};
}

void CSimKey::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    if (isDown()) {
        shade.setColorAt(0.0, QColor(40, 42, 45));
        shade.setColorAt(1.0, QColor(62, 65, 70));
    } else {
        shade.setColorAt(0.0, QColor(86, 90, 96));
        shade.setColorAt(1.0, QColor(50, 52, 56));
    }
    p.setPen(QPen(hasFocus() ? kConsoleAccent : QColor(16, 16, 18), hasFocus() ? 2.0 : 1.0));
    p.setBrush(shade);
    p.drawRoundedRect(body, 5, 5);

    // The lamp is a window across the top of the key.
    const QRectF lamp(body.left() + 8, body.top() + 5, body.width() - 16, 6);
    if (m_lit) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(kLampLit.red(), kLampLit.green(), kLampLit.blue(), 70));
        p.drawRoundedRect(lamp.adjusted(-4, -3, 4, 3), 5, 5);
    }
    p.setPen(QPen(QColor(12, 12, 12), 1.0));
    p.setBrush(m_lit ? kLampLit : kLampDark);
    p.drawRoundedRect(lamp, 3, 3);

    p.setPen(isEnabled() ? kConsoleText : QColor(112, 112, 112));
    const QRectF textArea(body.left() + 3, lamp.bottom() + 2, body.width() - 6,
                          body.bottom() - lamp.bottom() - 4);
    p.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap, text());
}

// ---- CSimKeyPad ------------------------------------------------------------------------------

const std::vector<CSimKeyPad::KeyFunction>& CSimKeyPad::Functions() {
    static const std::vector<KeyFunction> functions = {
        {0, 0x04, Function::ClearFile, 0},  {0, 0x10, Function::Alt, 0},
        {0, 0x20, Function::CustomMenu, 1}, {1, 0x01, Function::Unit, 1},
        {1, 0x20, Function::CustomMenu, 2}, {2, 0x01, Function::Unit, 2},
        {2, 0x02, Function::Hold, 129},     {2, 0x20, Function::CustomMenu, 3},
        {3, 0x01, Function::Unit, 3},       {3, 0x02, Function::Hold, 130},
        {3, 0x04, Function::Menu, 0},       {3, 0x08, Function::Menu, 7},
        {3, 0x10, Function::Menu, 11},      {3, 0x20, Function::CustomMenu, 4},
        {4, 0x01, Function::Unit, 4},       {4, 0x02, Function::Hold, 132},
        {4, 0x04, Function::Menu, 26},      {4, 0x08, Function::Menu, 18},
        {4, 0x10, Function::Menu, 15},      {4, 0x20, Function::CustomMenu, 5},
    };
    return functions;
}

QString CSimKeyPad::Label(const KeyFunction& key, const SimProfile* profile) {
    switch (key.function) {
        case Function::ClearFile:
            return QStringLiteral("Clear File");
        case Function::Alt:
            return QStringLiteral("ALT");
        case Function::CustomMenu:
            return QStringLiteral("Custom %1").arg(key.argument);
        case Function::Unit:
            return QStringLiteral("Unit %1").arg(key.argument);
        case Function::Hold:
            if (profile)
                for (const SimSwitch& s : profile->switches)
                    if (s.id == key.argument && !s.states.empty()) {
                        const QString name = FirstLineName(s.states.front());
                        if (!name.isEmpty()) return name;
                    }
            return QStringLiteral("Hold %1").arg(key.argument);
        case Function::Menu:
            if (profile)
                for (const SimMenu& m : profile->menus)
                    if (m.id == key.argument) {
                        const QString name = OneLineName(m.name);
                        if (!name.isEmpty()) return name;
                    }
            return QStringLiteral("Menu %1").arg(key.argument);
    }
    return {};
}

QString CSimKeyPad::Explanation(const KeyFunction& key) {
    QString what;
    switch (key.function) {
        case Function::ClearFile:
            what = QStringLiteral("clears the current file");
            break;
        case Function::Alt:
            what = QStringLiteral("ALT: its lamp is the ALT latch");
            break;
        case Function::CustomMenu:
            what = QStringLiteral("opens custom menu %1").arg(key.argument);
            break;
        case Function::Unit:
            what =
                QStringLiteral("selects Main Unit %1; lit while it is on line").arg(key.argument);
            break;
        case Function::Hold:
            what = QStringLiteral("holds switch %1 on (one of three at a time)").arg(key.argument);
            break;
        case Function::Menu:
            what = QStringLiteral("goes straight to menu %1").arg(key.argument);
            break;
    }
    return QStringLiteral("Key row %1, bit 0x%2: %3")
        .arg(key.row)
        .arg(key.bit, 2, 16, QLatin1Char('0'))
        .arg(what);
}

CSimKeyPad::CSimKeyPad(SimSurface& surface, QWidget* parent) : QWidget(parent), m_surface(surface) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    for (const KeyFunction& function : Functions()) {
        auto* key = new CSimKey(function.row, function.bit, this);
        key->setObjectName(QStringLiteral("key%1_%2").arg(function.row).arg(function.bit));
        key->setText(Label(function, nullptr));
        key->setToolTip(Explanation(function));
        const int row = function.row;
        const uint8_t bit = function.bit;
        connect(key, &QAbstractButton::pressed, this,
                [this, row, bit] { m_surface.PressKey(row, bit); });
        grid->addWidget(key, function.row, ColumnOf(function.bit));
        m_keys.push_back(key);
    }
}

CSimKey* CSimKeyPad::Key(int row, uint8_t bit) const {
    for (CSimKey* key : m_keys)
        if (key->Row() == row && key->Bit() == bit) return key;
    return nullptr;
}

void CSimKeyPad::ShowLamps(const std::array<uint8_t, 12>& lamps) {
    for (CSimKey* key : m_keys)
        key->SetLit((lamps[key->Row()] & key->Bit()) != 0);
}

void CSimKeyPad::NameKeys(const SimProfile* profile) {
    const auto& functions = Functions();
    for (size_t k = 0; k < functions.size(); ++k) {
        const QString label = Label(functions[k], profile);
        if (m_keys[k]->text() != label) m_keys[k]->setText(label);
    }
}
