#pragma once

#include <QImage>
#include <QWidget>

class QPainter;

// A window that paints from an off-screen image. Redraw renders the whole content with Draw
// into the image and asks for a repaint; the paint event only copies the image, and the
// background is never erased first, so a window redrawn several times a second does not
// flicker.
class CBufferedWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBufferWidth = 148;
    static constexpr int kBufferHeight = 91;

    explicit CBufferedWnd(QWidget* parent = nullptr);
    ~CBufferedWnd() override;

    // Places the window at (x, y) in its parent with the buffer's size and makes the buffer if
    // there is none yet.
    void Create(int x, int y);

    // Renders the whole window content into painter. The base draws nothing.
    virtual void Draw(QPainter& painter);

    // Renders with Draw into the buffer and shows it.
    void Redraw();

    // What the window shows (black until the first Redraw).
    const QImage& Buffer() const { return m_buffer; }

    // An image of the buffer's size and format at a resolution of logicalDpi, for rendering a
    // display somewhere else (tests, benchmarks, screenshots).
    static QImage MakeBuffer(int logicalDpi);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void EnsureBuffer();

    QImage m_buffer;
};
