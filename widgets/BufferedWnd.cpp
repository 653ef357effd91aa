#include "widgets/BufferedWnd.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {
constexpr double kMetersPerInch = 0.0254;
}  // namespace

CBufferedWnd::CBufferedWnd(QWidget* parent) : QWidget(parent) {
    // Every pixel comes from the buffer: nothing to erase underneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(kBufferWidth, kBufferHeight);
}

CBufferedWnd::~CBufferedWnd() = default;

QImage CBufferedWnd::MakeBuffer(int logicalDpi) {
    QImage image(kBufferWidth, kBufferHeight, QImage::Format_RGB32);
    // Fonts are sized from the resolution of the image they are drawn into; a fresh QImage
    // says 72 dpi, not the screen's.
    const int dotsPerMeter = static_cast<int>(std::lround(logicalDpi / kMetersPerInch));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::black);
    return image;
}

void CBufferedWnd::EnsureBuffer() {
    if (m_buffer.isNull()) m_buffer = MakeBuffer(logicalDpiY());
}

void CBufferedWnd::Create(int x, int y) {
    setGeometry(x, y, kBufferWidth, kBufferHeight);
    EnsureBuffer();
}

void CBufferedWnd::Draw(QPainter&) {}

void CBufferedWnd::Redraw() {
    EnsureBuffer();
    {
        QPainter painter(&m_buffer);
        Draw(painter);
    }
    update();
}

void CBufferedWnd::paintEvent(QPaintEvent* event) {
    if (m_buffer.isNull()) return;
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area.topLeft(), m_buffer, area);
}
