#pragma once

// What every setup dialog is made of: sizes in dialog units, the placement on the panel's
// 800 x 600 screen, list paging that clamps, Enter swallowed, the on-screen keyboard for as
// long as the dialog lives, and its message boxes through the one prompter.

#include <QDialog>
#include <QLine>
#include <QListWidget>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>
#include <string>

#include "link/MenuDatabase.h"
#include "link/PanelState.h"
#include "platform/Prompter.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The classic 8-point dialog font: one dialog unit is 1.5 pixels across and 1.625 down.
QSize DluSize(int width, int height);
QRect DluRect(int x, int y, int width, int height);

// The panel's screen.
inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;

// A paging step from current over a list of count entries: clamped to 0 and to the last
// entry, never wrapping. -1 when the list is empty.
int ClampedSelection(int current, int step, int count);

// Whether setup dialogs draw their caption in a strip of their own: a kiosk shows windows
// without title bars. Off by default, where the window manager's title bar serves.
void SetDialogCaptions(bool drawn);
// The height of that strip; it adds to the dialog's height.
inline constexpr int kCaptionStripHeight = 30;

// The id a template gives its plain labels.
inline constexpr int kStaticId = -1;

// The property the application style recognises setup dialogs by.
inline constexpr const char* kSetupDialogProperty = "kv4SetupDialog";

// A name as a list or a check box shows it: its line break becomes one space.
QString ListName(const std::string& name);

// What a dialog says when a write to the unit failed; the control is put back to what the
// unit holds.
inline constexpr const char* kMsgNoAnswer =
    "The Main Unit did not answer!  The change has not been made.";

// The row highlighted in list, -1 for none.
int SelectedRow(const QListWidget& list);

// A list box for fingers. A touch below the last entry keeps the selection. An entry is picked
// when the finger lifts over it: a touch on the entry already highlighted picks it again, and a
// finger that slides across the list picks once, the entry it lifts from. The arrow keys pick
// the entry they move to.
class CTouchList final : public QListWidget {
public:
    using QListWidget::QListWidget;

    // Called with the row picked.
    std::function<void(int)> picked;
    // The row highlighted, -1 for none.
    int SelectedRow() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool m_pressed = false;
};

// Adds a name to a sorted list: names sort by their letters, capitals or not.
QListWidgetItem* AddSortedName(QListWidget* list, const QString& name);

class CSetupDialog : public QDialog {
public:
    // A dialog of the template size (dialog units) on the panel.
    CSetupDialog(QWidget* panel, QSize templateDlu);
    ~CSetupDialog() override;

    // Where the dialog's outer top-left corner goes on the panel's screen, from its outer size.
    virtual QPoint Placement(QSize outer) const = 0;
    // The width of the panel's screen: the panel's own window, which fills the screen on the
    // panel PC and stands for it on a desktop.
    int PanelScreenWidth() const;

protected:
    // Controls named by their template ids.
    QPushButton* AddButton(int id, const QString& text, const QRect& dlu);
    QLabel* AddLabel(int id, const QString& text, const QRect& dlu, bool sunken = false);
    QLineEdit* AddEdit(int id, const QRect& dlu);
    CTouchList* AddList(int id, const QRect& dlu);
    QCheckBox* AddCheckBox(int id, const QString& text, const QRect& dlu);
    QRadioButton* AddRadio(int id, const QString& text, const QRect& dlu);
    QComboBox* AddCombo(int id, const QRect& dlu);
    QGroupBox* AddGroup(const QString& text, const QRect& dlu);

    // A line the dialog paints in client pixels; none by default.
    void SetRule(std::optional<QLine> rule);

    void SwallowEnter(bool swallow) { m_swallowEnter = swallow; }
    // The touch keyboard, below the template's controls, typing into target while the dialog is
    // open; a program without one goes on without it.
    void UseKeyboard(QLineEdit* target);
    // Where the template's client area begins: below the caption strip, when one is drawn.
    int ClientTop() const { return m_captionHeight; }
    PromptAnswer Ask(const std::string& text, PromptButtons buttons, PromptIcon icon) const;

    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SizeForTouch();
    void Arrange();
    void Place();

    std::optional<QLine> m_rule;
    bool m_swallowEnter = false;
    QSize m_templateSize;
    int m_captionHeight = 0;
    bool m_touchSized = false;
    QPointer<QLineEdit> m_keyboardTarget;
    QWidget* m_panel;
};
