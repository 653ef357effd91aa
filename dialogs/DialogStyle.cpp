#include "dialogs/DialogStyle.h"

#include <QApplication>
#include <QProxyStyle>
#include <algorithm>

#include "dialogs/DialogKit.h"

namespace {

// The platform's style with indicators and scroll bars a finger can hit; everything else,
// list rows included (the page steps rely on how many show), keeps its size.
class CTouchStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
            case PM_IndicatorWidth:
            case PM_IndicatorHeight:
            case PM_ExclusiveIndicatorWidth:
            case PM_ExclusiveIndicatorHeight:
            case PM_ScrollBarExtent:
                return std::max(kTouchIndicator, QProxyStyle::pixelMetric(metric, option, widget));
            default:
                return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

}  // namespace

void ApplyPanelStyle(QApplication& app) {
    app.setStyle(new CTouchStyle);
    app.setStyleSheet(DialogStyleSheet());
}

QString DialogStyleSheet() {
    const QString dialog = QStringLiteral("QDialog[%1=\"true\"]").arg(kSetupDialogProperty);
    QString sheet = QStringLiteral(
        "%1, QMessageBox { background-color: #2b2d31; color: #d2d2d2; }"
        // A box without a title bar (the kiosk) still stands out from the panel behind it.
        "QMessageBox { border: 1px solid #7fb73b; }"
        "%1 QLabel, QMessageBox QLabel { color: #d2d2d2; font-size: 13px; }"
        "%1 QCheckBox { color: #d2d2d2; font-size: 13px; }"
        "%1 QPushButton, QMessageBox QPushButton {"
        "  background-color: #4a4d52; color: #e6e6e6; border: 1px solid #17181a;"
        "  border-radius: 4px; min-height: 28px; padding: 2px 4px; font-size: 13px; }"
        "QMessageBox QPushButton, %1 QMessageBox QPushButton { min-width: 72px;"
        "  min-height: 36px; }"
        "%1 QPushButton:pressed, QMessageBox QPushButton:pressed { background-color: #7fb73b;"
        "  color: #101010; }"
        "%1 QPushButton:disabled { background-color: #34363a; color: #75777b; }"
        "%1 QListWidget, %1 QLineEdit, %1 QComboBox {"
        "  background-color: #1c1d20; color: #e6e6e6; border: 1px solid #0e0f10;"
        "  selection-background-color: #7fb73b; selection-color: #101010; font-size: 13px; }"
        "%1 QListWidget::item { min-height: 22px; }"
        "%1 QComboBox QAbstractItemView { background-color: #1c1d20; color: #e6e6e6;"
        "  selection-background-color: #7fb73b; selection-color: #101010; }"
        "%1 QCheckBox, %1 QRadioButton, %1 QGroupBox { color: #d2d2d2; font-size: 13px; }"
        "%1 QCheckBox:disabled, %1 QRadioButton:disabled { color: #75777b; }"
        "%1 QGroupBox { border: 1px solid #4a4d52; border-radius: 3px; margin-top: 7px; }"
        "%1 QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"
        "%1 QTabBar::tab { background-color: #34363a; color: #d2d2d2; padding: 4px 18px;"
        "  border: 1px solid #17181a; font-size: 13px; }"
        "%1 QTabBar::tab:selected { background-color: #4a4d52; color: #ffffff;"
        "  border-bottom: 2px solid #7fb73b; }");
    return sheet.arg(dialog);
}
