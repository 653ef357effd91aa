#include "sim/console/ConsoleLook.h"

namespace {

QString WithoutSuffix(const std::string& name) {
    QString text = QString::fromStdString(name);
    const qsizetype hash = text.indexOf(QLatin1Char('#'));
    if (hash >= 0) text.truncate(hash);
    return text;
}

}  // namespace

QString ConsoleStyleSheet() {
    return QStringLiteral(R"(
QWidget { background: #26282b; color: #d9d9d9; font-size: 12px; }
QGroupBox { border: 1px solid #4a4e54; border-radius: 6px; margin-top: 9px; padding: 6px 4px 4px 4px;
            background: #2e3034; }
QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: #91c04a;
                   font-weight: bold; background: #26282b; }
QGroupBox QWidget { background: #2e3034; }
QLabel#help { color: #a8a8a8; background: #26282b; }
QLabel#lampBytes { font-family: monospace; color: #a8a8a8; }
QPushButton { background: #44474c; border: 1px solid #5a5e64; border-radius: 4px; padding: 3px 8px; }
QPushButton:hover { background: #50545a; }
QPushButton:pressed { background: #91c04a; color: #1a1a1a; }
QComboBox, QSpinBox { background: #1d1e20; border: 1px solid #55595f; border-radius: 3px;
                      padding: 1px 4px; min-height: 18px; }
QComboBox QAbstractItemView { background: #1d1e20; selection-background-color: #91c04a;
                              selection-color: #1a1a1a; }
QCheckBox::indicator { width: 13px; height: 13px; border: 1px solid #6a6e74; border-radius: 2px;
                       background: #1d1e20; }
QCheckBox::indicator:checked { background: #91c04a; }
QCheckBox:disabled, QLabel:disabled { color: #707070; }
QSlider::groove:horizontal { height: 4px; background: #1d1e20; border-radius: 2px; }
QSlider::handle:horizontal { width: 12px; margin: -5px 0; background: #91c04a; border-radius: 3px; }
QToolTip { background: #1d1e20; color: #d9d9d9; border: 1px solid #91c04a; }
)");
}

QString OneLineName(const std::string& name) {
    return WithoutSuffix(name)
        .replace(QLatin1Char('\r'), QString())
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QString FirstLineName(const std::string& name) {
    QString text = WithoutSuffix(name);
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    if (end >= 0) text.truncate(end);
    return text.remove(QLatin1Char('\r')).trimmed();
}
