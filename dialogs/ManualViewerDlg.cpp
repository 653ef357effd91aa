#include "dialogs/ManualViewerDlg.h"

#include <QBoxLayout>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfPageRenderer>
#include <QPdfView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "dialogs/DialogKit.h"

namespace {

// The bar fits the 800-pixel panel screen: five buttons, the page, a wide Close.
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 56;
constexpr int kPageLabelWidth = 104;
constexpr int kCloseWidth = 128;
constexpr int kBarSpacing = 8;
// Where a PDF file says what it is; a file without it is not handed to the PDF reader at all.
constexpr qint64 kPdfMarkerWindow = 1024;

bool LooksLikePdf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(kPdfMarkerWindow).contains("%PDF-");
}

QString ProblemText(QPdfDocument::Error error, const QString& name) {
    switch (error) {
        case QPdfDocument::Error::None:
            return {};
        case QPdfDocument::Error::FileNotFound:
            return QStringLiteral("The manual %1 is not installed.").arg(name);
        case QPdfDocument::Error::InvalidFileFormat:
            return QStringLiteral(
                       "The manual %1 is damaged: it is not a PDF file that can be read.")
                .arg(name);
        case QPdfDocument::Error::IncorrectPassword:
        case QPdfDocument::Error::UnsupportedSecurityScheme:
            return QStringLiteral("The manual %1 is locked with a password.").arg(name);
        default:
            return QStringLiteral("The manual %1 cannot be read.").arg(name);
    }
}

QPushButton* BarButton(QWidget* parent, const char* text, const char* name, int width) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(width, kButtonHeight);
    // The dialogs' style sheet sets a smaller minimum height, which would win over the size;
    // a style sheet height leaves out the 1-pixel border.
    button->setStyleSheet(QStringLiteral("QPushButton { min-height: %1px; max-height: %1px; "
                                         "font-size: 15px; }")
                              .arg(kButtonHeight - 2));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

CManualViewerDlg::CManualViewerDlg(QWidget* panel, const QString& path)
    : QDialog(panel), m_document(new QPdfDocument(this)), m_view(new QPdfView(this)) {
    setProperty(kSetupDialogProperty, true);
    setWindowTitle(QFileInfo(path).fileName());
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

    m_pageUp = BarButton(this, "Page Up", kViewerPageUp, kButtonWidth);
    m_pageDown = BarButton(this, "Page Down", kViewerPageDown, kButtonWidth);
    m_zoomOut = BarButton(this, "Zoom Out", kViewerZoomOut, kButtonWidth);
    m_zoomIn = BarButton(this, "Zoom In", kViewerZoomIn, kButtonWidth);
    m_fitWidth = BarButton(this, "Fit Width", kViewerFitWidth, kButtonWidth);
    QPushButton* close = BarButton(this, "Close", "2", kCloseWidth);
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QString::fromLatin1(kViewerPageLabel));
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setFixedWidth(kPageLabelWidth);
    m_pageLabel->setStyleSheet(QStringLiteral("font-size: 15px;"));
    m_problemLabel = new QLabel(this);
    m_problemLabel->setObjectName(QString::fromLatin1(kViewerProblem));
    m_problemLabel->setAlignment(Qt::AlignCenter);
    m_problemLabel->setWordWrap(true);
    m_problemLabel->setTextFormat(Qt::PlainText);
    m_problemLabel->setStyleSheet(QStringLiteral("font-size: 20px;"));

    auto* bar = new QHBoxLayout;
    bar->setSpacing(kBarSpacing);
    for (QWidget* w : std::initializer_list<QWidget*>{m_pageUp, m_pageDown, m_pageLabel, m_zoomOut,
                                                      m_zoomIn, m_fitWidth})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kBarSpacing, kBarSpacing, kBarSpacing, kBarSpacing);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_problemLabel, 1);
    layout->addLayout(bar);

    m_view->setPageMode(QPdfView::PageMode::SinglePage);
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    // A finger drags the page; no scroll bar needs aiming at.
    m_view->viewport()->installEventFilter(this);

    const QString name = QFileInfo(path).fileName();
    if (!QFileInfo(path).isFile())
        m_problem = ProblemText(QPdfDocument::Error::FileNotFound, name);
    else if (!LooksLikePdf(path))
        m_problem = ProblemText(QPdfDocument::Error::InvalidFileFormat, name);
    else
        m_problem = ProblemText(m_document->load(path), name);
    if (m_problem.isEmpty()) m_view->setDocument(m_document);
    m_view->setVisible(m_problem.isEmpty());
    m_problemLabel->setVisible(!m_problem.isEmpty());
    m_problemLabel->setText(m_problem);

    connect(m_pageUp, &QPushButton::clicked, this, [this] { GoToPage(CurrentPage() - 1); });
    connect(m_pageDown, &QPushButton::clicked, this, [this] { GoToPage(CurrentPage() + 1); });
    connect(m_zoomIn, &QPushButton::clicked, this, [this] { ZoomBy(kViewerZoomStep); });
    connect(m_zoomOut, &QPushButton::clicked, this, [this] { ZoomBy(1 / kViewerZoomStep); });
    connect(m_fitWidth, &QPushButton::clicked, this, [this] { FitWidth(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_view->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this,
            [this] { UpdateControls(); });

    // The whole screen of the panel.
    const QScreen* screen = panel ? panel->screen() : this->screen();
    if (screen) setGeometry(screen->geometry());
    setWindowState(windowState() | Qt::WindowFullScreen);
    UpdateControls();
}

CManualViewerDlg::~CManualViewerDlg() {
    // The view renders on a thread that its renderer stops but never frees (Qt 6.4); back in
    // single-threaded mode the renderer frees it itself.
    for (auto* renderer : m_view->findChildren<QPdfPageRenderer*>())
        renderer->setRenderMode(QPdfPageRenderer::RenderMode::SingleThreaded);
}

bool CManualViewerDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_view->viewport()) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton) break;
            m_dragFrom = mouse->position().toPoint();
            return true;
        }
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!(mouse->buttons() & Qt::LeftButton)) break;
            const QPoint to = mouse->position().toPoint();
            const QPoint moved = to - m_dragFrom;
            m_dragFrom = to;
            m_view->horizontalScrollBar()->setValue(m_view->horizontalScrollBar()->value() -
                                                    moved.x());
            m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->value() - moved.y());
            return true;
        }
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

int CManualViewerDlg::PageCount() const {
    return m_problem.isEmpty() ? m_document->pageCount() : 0;
}

int CManualViewerDlg::CurrentPage() const {
    return m_view->pageNavigator()->currentPage();
}

double CManualViewerDlg::Zoom() const {
    return m_view->zoomMode() == QPdfView::ZoomMode::Custom ? m_view->zoomFactor() : 0.0;
}

void CManualViewerDlg::GoToPage(int page) {
    if (PageCount() == 0) return;
    // Paging stops at the first and the last page.
    page = std::clamp(page, 0, PageCount() - 1);
    if (page != CurrentPage()) m_view->pageNavigator()->jump(page, QPointF(), 0);
    UpdateControls();
}

void CManualViewerDlg::ZoomBy(double factor) {
    // Zooming starts from what the width fit shows.
    double zoom = m_view->zoomFactor();
    if (m_view->zoomMode() != QPdfView::ZoomMode::Custom && PageCount() > 0) {
        const QSizeF page = m_document->pagePointSize(CurrentPage());
        const double points = page.width() * m_view->logicalDpiX() / 72.0;
        if (points > 0) zoom = m_view->viewport()->width() / points;
    }
    m_view->setZoomMode(QPdfView::ZoomMode::Custom);
    m_view->setZoomFactor(std::clamp(zoom * factor, kViewerMinZoom, kViewerMaxZoom));
    UpdateControls();
}

void CManualViewerDlg::FitWidth() {
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    UpdateControls();
}

void CManualViewerDlg::UpdateControls() {
    const int pages = PageCount();
    const int page = CurrentPage();
    m_pageLabel->setText(pages > 0 ? QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages)
                                   : QString());
    m_pageUp->setEnabled(pages > 0 && page > 0);
    m_pageDown->setEnabled(pages > 0 && page < pages - 1);
    const double zoom = m_view->zoomFactor();
    const bool custom = m_view->zoomMode() == QPdfView::ZoomMode::Custom;
    m_zoomIn->setEnabled(pages > 0 && (!custom || zoom < kViewerMaxZoom));
    m_zoomOut->setEnabled(pages > 0 && (!custom || zoom > kViewerMinZoom));
    m_fitWidth->setEnabled(pages > 0 && custom);
}
