#include "dialogs/DialogKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QValidator>
#include <algorithm>
#include <cmath>

#include "dialogs/DialogStyle.h"
#include "dialogs/TouchKeyboard.h"
#include "link/MenuDatabase.h"
#include "link/UnitOperations.h"
#include "widgets/Resources.h"

namespace {

constexpr double kDluAcross = 1.5;
constexpr double kDluDown = 1.625;
// Painted rules, in the grey of the dialogs' borders.
const QColor kRuleColor(0x8a, 0x8d, 0x92);
// The caption strip: the panel's menu-title green on the dialogs' darkest face.
const QColor kCaptionFace(0x1c, 0x1d, 0x20);
const QColor kCaptionText(145, 192, 74);
constexpr int kCaptionTextPixels = 15;
constexpr int kCaptionIndent = 10;

bool g_dialogCaptions = false;

// The entries of an open drop-down list, tall enough for a finger.
class CTouchEntryDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), kTouchListEntry));
        return size;
    }
};

constexpr int kSmallestTextPixels = 11;

// A name goes to the unit in Latin-1: a character it cannot carry (a euro sign, a Cyrillic
// letter from the keyboard's other pages) is refused, never sent as '?'.
class CLatin1Validator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (const QChar c : input)
            if (c.unicode() > 0xFF || c.unicode() < 0x20) return Invalid;
        return Acceptable;
    }
};

// A check box or radio button shorter than its indicator grows about its middle; a text the
// larger indicator pushes past the template's width is set a pixel or two smaller to fit.
void GrowToIndicator(QWidget* button) {
    const int missing = kTouchIndicator - button->height();
    if (missing > 0)
        button->setGeometry(button->x(), button->y() - missing / 2, button->width(),
                            kTouchIndicator);
    button->ensurePolished();
    for (int pixels = button->fontInfo().pixelSize() - 1;
         button->sizeHint().width() > button->width() && pixels >= kSmallestTextPixels; --pixels) {
        button->setStyleSheet(QStringLiteral("font-size: %1px;").arg(pixels));
        button->ensurePolished();
    }
}

int Across(int dlu) {
    return static_cast<int>(std::lround(dlu * kDluAcross));
}
int Down(int dlu) {
    return static_cast<int>(std::lround(dlu * kDluDown));
}

}  // namespace

QSize DluSize(int width, int height) {
    return {Across(width), Down(height)};
}

QRect DluRect(int x, int y, int width, int height) {
    return {Across(x), Down(y), Across(width), Down(height)};
}

QString ListName(const std::string& name) {
    // The unit breaks names with CR LF; a list line shows the break as one space.
    QString text = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

namespace {

class NameItem final : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

}  // namespace

QListWidgetItem* AddSortedName(QListWidget* list, const QString& name) {
    auto* item = new NameItem(name);
    list->addItem(item);
    return item;
}

int ClampedSelection(int current, int step, int count) {
    if (count <= 0) return -1;
    return std::clamp(current + step, 0, count - 1);
}

void SetDialogCaptions(bool drawn) {
    g_dialogCaptions = drawn;
}

CSetupDialog::CSetupDialog(QWidget* panel, QSize templateDlu)
    : QDialog(panel),
      m_templateSize(DluSize(templateDlu.width(), templateDlu.height())),
      m_panel(panel) {
    setProperty(kSetupDialogProperty, true);
    setFixedSize(m_templateSize);
    // In the kiosk the strip is the only title: no decoration of the compositor's or Qt's own,
    // whose buttons would let a finger maximise a dialog over the panel.
    if (g_dialogCaptions) setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
}

CSetupDialog::~CSetupDialog() {
    // The keyboard outlives every dialog it served.
    DetachTouchKeyboard(this);
}

QPushButton* CSetupDialog::AddButton(int id, const QString& text, const QRect& dlu) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::number(id));
    button->setGeometry(dlu);
    // Touch buttons: a touch never makes one the default that Enter would press.
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLabel* CSetupDialog::AddLabel(int id, const QString& text, const QRect& dlu, bool sunken) {
    auto* label = new QLabel(text, this);
    // Names and messages come from the units: "<b>" in one is text, never markup.
    label->setTextFormat(Qt::PlainText);
    // A label without an id of its own is the template's static id, -1.
    label->setObjectName(QString::number(id > 0 ? id : kStaticId));
    label->setGeometry(dlu);
    if (sunken) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

QLineEdit* CSetupDialog::AddEdit(int id, const QRect& dlu) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(id));
    edit->setGeometry(dlu);
    edit->setValidator(new CLatin1Validator(edit));
    return edit;
}

int SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.front());
}

int CTouchList::SelectedRow() const {
    return ::SelectedRow(*this);
}

void CTouchList::mousePressEvent(QMouseEvent* event) {
    // The dialogs act on the highlighted entry, and a stray touch must not take it away.
    if (!indexAt(event->position().toPoint()).isValid()) {
        event->accept();
        return;
    }
    m_pressed = true;
    QListWidget::mousePressEvent(event);
}

void CTouchList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (!m_pressed) return;
    m_pressed = false;
    const QModelIndex under = indexAt(event->position().toPoint());
    // Lifted beside the entries: the entry the slide ended on stays highlighted and is picked.
    const int row = under.isValid() ? under.row() : SelectedRow();
    if (row < 0) return;
    if (SelectedRow() != row) setCurrentRow(row);
    if (picked) picked(row);
}

void CTouchList::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    // The list makes its first entry current when it gets the focus; drawn with the focus
    // frame, that reads as a highlight the operator never chose.
    if (SelectedRow() < 0) selectionModel()->clearCurrentIndex();
}

void CTouchList::keyPressEvent(QKeyEvent* event) {
    const int before = SelectedRow();
    QListWidget::keyPressEvent(event);
    const int after = SelectedRow();
    if (after >= 0 && after != before && picked) picked(after);
}

CTouchList* CSetupDialog::AddList(int id, const QRect& dlu) {
    auto* list = new CTouchList(this);
    list->setObjectName(QString::number(id));
    list->setGeometry(dlu);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    return list;
}

QCheckBox* CSetupDialog::AddCheckBox(int id, const QString& text, const QRect& dlu) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::number(id));
    box->setGeometry(dlu);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

QRadioButton* CSetupDialog::AddRadio(int id, const QString& text, const QRect& dlu) {
    auto* radio = new QRadioButton(text, this);
    radio->setObjectName(QString::number(id));
    radio->setGeometry(dlu);
    radio->setFocusPolicy(Qt::NoFocus);
    // Each dialog groups its radio buttons itself; siblings are not one group by default.
    radio->setAutoExclusive(false);
    return radio;
}

QComboBox* CSetupDialog::AddCombo(int id, const QRect& dlu) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::number(id));
    combo->setGeometry(dlu);
    combo->setFocusPolicy(Qt::NoFocus);
    return combo;
}

QGroupBox* CSetupDialog::AddGroup(const QString& text, const QRect& dlu) {
    auto* group = new QGroupBox(text, this);
    group->setObjectName(QString::number(kStaticId));
    group->setGeometry(dlu);
    // Behind the controls it frames, which are the dialog's own children.
    group->lower();
    return group;
}

void CSetupDialog::SetRule(std::optional<QLine> rule) {
    m_rule = rule;
    update();
}

void CSetupDialog::UseKeyboard(QLineEdit* target) {
    m_keyboardTarget = target;
    if (isVisible()) Arrange();
}

PromptAnswer CSetupDialog::Ask(const std::string& text, PromptButtons buttons,
                               PromptIcon icon) const {
    return ThePrompter().Show(text, kMessageBoxCaption, buttons, icon);
}

void CSetupDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_swallowEnter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CSetupDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Arrange();
    Place();
}

void CSetupDialog::hideEvent(QHideEvent* event) {
    // The keyboard's own Enter key can close the dialog: it is hidden with it and moved out
    // only when the dialog goes, never in the middle of its own touch.
    if (QWidget* keyboard = TouchKeyboardIn(this)) keyboard->hide();
    QDialog::hideEvent(event);
}

void CSetupDialog::SizeForTouch() {
    if (m_touchSized) return;
    m_touchSized = true;
    for (QCheckBox* box : findChildren<QCheckBox*>())
        GrowToIndicator(box);
    for (QRadioButton* radio : findChildren<QRadioButton*>())
        GrowToIndicator(radio);
    for (QComboBox* combo : findChildren<QComboBox*>())
        combo->setItemDelegate(new CTouchEntryDelegate(combo));
}

void CSetupDialog::Arrange() {
    SizeForTouch();
    // The template's controls move below the caption strip once; what a subclass paints is
    // translated by ClientTop().
    const int caption = g_dialogCaptions ? kCaptionStripHeight : 0;
    if (caption != m_captionHeight) {
        const int shift = caption - m_captionHeight;
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child != TouchKeyboardIn(this)) child->move(child->x(), child->y() + shift);
        m_captionHeight = caption;
    }
    const int bottom = caption + m_templateSize.height();
    const int keyboard = m_keyboardTarget ? AttachTouchKeyboard(this, m_keyboardTarget, bottom) : 0;
    setFixedSize(m_templateSize.width(), bottom + keyboard);
}

void CSetupDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    if (m_captionHeight > 0) {
        const QRect strip(0, 0, width(), m_captionHeight);
        painter.fillRect(strip, kCaptionFace);
        painter.fillRect(QRect(0, m_captionHeight - 2, width(), 2), kCaptionText);
        QFont face = FaceFont(QString::fromLatin1(kPanelFaceName));
        face.setBold(true);
        face.setPixelSize(kCaptionTextPixels);
        painter.setFont(face);
        painter.setPen(kCaptionText);
        const QRect text = strip.adjusted(kCaptionIndent, 0, -kCaptionIndent, -2);
        painter.drawText(
            text, Qt::AlignLeft | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, text.width()));
    }
    if (!m_rule) return;
    painter.translate(0, m_captionHeight);
    painter.setPen(kRuleColor);
    painter.drawLine(*m_rule);
}

int CSetupDialog::PanelScreenWidth() const {
    return m_panel ? m_panel->window()->width() : kScreenWidth;
}

void CSetupDialog::Place() {
    // The panel's window coordinates are the screen's on the panel PC; elsewhere the dialog
    // still lands on the panel.
    const QSize outer = frameGeometry().size().expandedTo(size());
    const QPoint origin = m_panel ? m_panel->window()->geometry().topLeft() : QPoint();
    move(origin + Placement(outer));
}
