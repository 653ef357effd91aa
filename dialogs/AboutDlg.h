#pragma once

// The About System dialog: the program's, the panel hardware's and the selected unit's
// versions over the maker's picture. "Update" ends the program so that it can be updated.

#include <QPixmap>
#include <QString>

#include "dialogs/DialogKit.h"

class QLabel;

// Template 153.
inline constexpr int kAboutTemplateWidth = 242;
inline constexpr int kAboutTemplateHeight = 302;
inline constexpr int kIdUpdate = 1;
inline constexpr int kIdPanelVersion = 1036;
inline constexpr int kAboutBitmap = 158;
inline constexpr int kAboutTextTop = 10;

inline constexpr const char* kUpdateNote =
    "This 'Update Button' allows you to QUIT the application so that it can be updated.  There "
    "is an application on the desktop called KV4_Updater that you run to update the software.";
inline constexpr const char* kContactText =
    "Service and support: Quorvane Corporation, or the dealer who installed this panel.";
inline constexpr const char* kPanelVersionUnread = "not read: no answer";
inline constexpr const char* kUnitInfoUnread =
    "\r\n\r\nThe Main Unit did not send its information.";

class CAboutDlg : public CSetupDialog {
public:
    explicit CAboutDlg(QWidget* panel);

    QPoint Placement(QSize outer) const override;
    // The text the dialog draws, line breaks as the unit sent them.
    const QString& AboutText() const { return m_aboutText; }
    // How far down the picture is light: the text is dark there and light below.
    int LogoLightHeight() const { return m_logoLightHeight; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ShowPanelVersion();
    void BuildText();

    QString m_aboutText;
    QPixmap m_logo;
    int m_logoLightHeight = 0;
    QLabel* m_panelVersion;
};
