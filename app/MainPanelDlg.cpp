#include "app/MainPanelDlg.h"

#include <QPainter>

CMainPanelDlg* g_mainPanel = nullptr;

namespace {
constexpr const char* kPanelCaption = "Zelvin";
constexpr const char* kBackgroundBitmap = ":/bitmaps/152.png";
}  // namespace

QRect PanelClientRect() {
    const int left = kPanelFrameRect.left() + kPanelFrameBorder;
    const int top = kPanelFrameRect.top() + kPanelFrameBorder + kPanelCaptionHeight;
    const int width = kPanelFrameRect.width() - 2 * kPanelFrameBorder;
    const int height = kPanelFrameRect.height() - 2 * kPanelFrameBorder - kPanelCaptionHeight;
    return {left, top, width, height};
}

CMainPanelDlg::CMainPanelDlg(QWidget* parent) : QDialog(parent) {
    OnInitDialog();
}

CMainPanelDlg::~CMainPanelDlg() {
    if (g_mainPanel == this) g_mainPanel = nullptr;
}

void CMainPanelDlg::OnInitDialog() {
    g_mainPanel = this;
    setWindowTitle(QString::fromLatin1(kPanelCaption));
    // On Linux the window has no frame at all, so its client area goes straight to where the
    // frame would have put it.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setGeometry(PanelClientRect());
    setFixedSize(PanelClientRect().size());
    m_background.load(QString::fromLatin1(kBackgroundBitmap));
}

void CMainPanelDlg::paintEvent(QPaintEvent*) {
    // Without the background bitmap the panel stays unpainted; nothing is reported.
    if (m_background.isNull()) return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
}
