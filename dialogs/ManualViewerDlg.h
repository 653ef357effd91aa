#pragma once

// A keyer manual (PDF) inside the program, full screen and made for a finger: a page up and
// down, zoom in and out, a fit to the width, a drag to move the page, and a big Close. The kiosk
// has no desktop to hand a manual to. Opened modally, it runs with the poll stopped like any box.

#include <QDialog>
#include <QPoint>
#include <QString>

class QLabel;
class QPdfDocument;
class QPdfView;
class QPushButton;

// Object names of the controls ("2" is Close, as everywhere).
inline constexpr const char* kViewerPageUp = "pageUp";
inline constexpr const char* kViewerPageDown = "pageDown";
inline constexpr const char* kViewerZoomIn = "zoomIn";
inline constexpr const char* kViewerZoomOut = "zoomOut";
inline constexpr const char* kViewerFitWidth = "fitWidth";
inline constexpr const char* kViewerPageLabel = "page";
inline constexpr const char* kViewerProblem = "problem";

inline constexpr double kViewerZoomStep = 1.25;
inline constexpr double kViewerMinZoom = 0.25;
inline constexpr double kViewerMaxZoom = 4.0;

class CManualViewerDlg final : public QDialog {
    Q_OBJECT
public:
    CManualViewerDlg(QWidget* panel, const QString& path);
    ~CManualViewerDlg() override;

    int PageCount() const;
    int CurrentPage() const;  // 0-based
    double Zoom() const;      // 1 = the page's own size; the width fit shows as 0
    // Empty when the manual loaded; otherwise what is wrong, in words.
    const QString& Problem() const { return m_problem; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void GoToPage(int page);
    void ZoomBy(double factor);
    void FitWidth();
    void UpdateControls();

    QPdfDocument* m_document;
    QPdfView* m_view;
    QLabel* m_pageLabel;
    QLabel* m_problemLabel;
    QPushButton* m_pageUp;
    QPushButton* m_pageDown;
    QPushButton* m_zoomIn;
    QPushButton* m_zoomOut;
    QPushButton* m_fitWidth;
    QString m_problem;
    QPoint m_dragFrom;
};
