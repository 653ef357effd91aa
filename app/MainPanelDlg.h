#pragma once

#include <QDialog>
#include <QPixmap>
#include <QRect>

// Where the panel's window goes on the 800 x 600 touch screen. The window is placed so that
// its frame and caption lie off screen and its client area covers the screen exactly.
inline constexpr QRect kPanelFrameRect{-3, -29, 806, 632};
inline constexpr int kPanelFrameBorder = 3;
inline constexpr int kPanelCaptionHeight = 26;

// The client area of the panel inside kPanelFrameRect: (0, 0), 800 x 600.
QRect PanelClientRect();

// The main panel: one modal dialog that owns every widget of the touch screen.
class CMainPanelDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMainPanelDlg(QWidget* parent = nullptr);
    ~CMainPanelDlg() override;

    // Enter never closes the panel; Escape (reject) ends the program.
    void accept() override {}

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnInitDialog();

    QPixmap m_background;
};

// The one main panel, set first thing when it initialises.
extern CMainPanelDlg* g_mainPanel;
