#include "platform/Prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {

QMessageBox::Icon ToQtIcon(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            return QMessageBox::Information;
        case PromptIcon::Warning:
            return QMessageBox::Warning;
        case PromptIcon::Stop:
            return QMessageBox::Critical;
        case PromptIcon::Question:
            return QMessageBox::Question;
        case PromptIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(PromptButtons buttons) {
    switch (buttons) {
        case PromptButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case PromptButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case PromptButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

PromptAnswer FromQtButton(int button, PromptButtons buttons) {
    switch (button) {
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        default:
            break;
    }
    // Closing the box any other way is the safe answer of its button set.
    return buttons == PromptButtons::YesNo ? PromptAnswer::No
           : buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                           : PromptAnswer::Cancel;
}

QPointer<QWidget> g_promptWindow;
bool g_framelessBoxes = false;

// A box over the panel: it sits on the window on top and is centred on the panel's window,
// never on the desktop.
class CPanelBox final : public QMessageBox {
public:
    CPanelBox(Icon icon, const QString& caption, const QString& text, StandardButtons buttons,
              QWidget* over, QWidget* panel)
        : QMessageBox(icon, caption, text, buttons, over), m_panel(panel) {
        if (g_framelessBoxes) setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    }

protected:
    void showEvent(QShowEvent* event) override {
        // The box has its size once its own show handling has run.
        QMessageBox::showEvent(event);
        if (!m_panel) return;
        const QSize outer = frameGeometry().size().expandedTo(size());
        move(m_panel->geometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
    }

private:
    QPointer<QWidget> m_panel;
};

}  // namespace

PromptAnswer MessageBoxPrompter::Show(const std::string& text, const std::string& caption,
                                      PromptButtons buttons, PromptIcon icon) {
    QWidget* panel = g_promptWindow ? g_promptWindow->window() : nullptr;
    QWidget* over = QApplication::activeModalWidget();
    CPanelBox box(ToQtIcon(icon), QString::fromLatin1(caption), QString::fromLatin1(text),
                  ToQtButtons(buttons), over ? over : panel, panel);
    // Texts come from the units too: "<b>" in one is shown as it stands, never as markup.
    box.setTextFormat(Qt::PlainText);
    return FromQtButton(box.exec(), buttons);
}

namespace {
MessageBoxPrompter g_messageBoxPrompter;
Prompter* g_prompter = &g_messageBoxPrompter;
}  // namespace

void SetPromptWindow(QWidget* panel, bool frameless) {
    g_promptWindow = panel;
    g_framelessBoxes = frameless;
}

void SetPrompter(Prompter* prompter) {
    g_prompter = prompter ? prompter : &g_messageBoxPrompter;
}

Prompter& ThePrompter() {
    return *g_prompter;
}
