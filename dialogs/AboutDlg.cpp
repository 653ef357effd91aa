#include "dialogs/AboutDlg.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cstring>

#include "dialogs/AboutText.h"
#include "link/Commands.h"
#include "link/LinkStats.h"
#include "link/MenuDatabase.h"
#include "platform/Clock.h"
#include "widgets/Resources.h"

namespace {

constexpr int kFaceHeight = 12;  // pixels at 96 pixels per inch
constexpr int kLinkTextHeight = 10;
constexpr int kLinkTextMargin = 8;
const QColor kAboutTextColor(34, 38, 46);

}  // namespace

CAboutDlg::CAboutDlg(QWidget* panel)
    : CSetupDialog(panel, QSize(kAboutTemplateWidth, kAboutTemplateHeight)) {
    setWindowTitle(QStringLiteral("About System"));
    AddLabel(kStaticId, QStringLiteral("Panel Hardware Version:"), DluRect(10, 124, 110, 10));
    m_panelVersion = AddLabel(kIdPanelVersion, QStringLiteral("0.0"), DluRect(122, 124, 110, 10));
    QLabel* build = AddLabel(kStaticId, QStringLiteral("kv4panel %1 for Linux").arg(KV4_VERSION),
                             DluRect(10, 138, 222, 10));
    build->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_note = AddLabel(kStaticId, QString::fromLatin1(kUpdateNote), DluRect(10, 156, 222, 54));
    m_note->setWordWrap(true);
    m_contact = AddLabel(kStaticId, QString::fromLatin1(kContactText), DluRect(10, 214, 222, 24));
    m_contact->setWordWrap(true);
    QPushButton* update = AddButton(kIdUpdate, QStringLiteral("Update"), DluRect(86, 270, 70, 22));
    connect(update, &QPushButton::clicked, this, &QDialog::accept);
    m_update = update;

    m_logo = LoadBitmapResource(kAboutBitmap);
    ShowPanelVersion();
    BuildText();
}

QPoint CAboutDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2 + 2, (kScreenHeight - outer.height()) / 3};
}

void CAboutDlg::ShowPanelVersion() {
    uint8_t version[kPanelVersionLength] = {};
    if (ReadPanelVersion(version) != kLinkOk) {
        m_panelVersion->setText(QString::fromLatin1(kPanelVersionUnread));
        return;
    }
    const auto* text = reinterpret_cast<const char*>(version);
    m_panelVersion->setText(
        QString::fromLatin1(text, static_cast<qsizetype>(strnlen(text, sizeof version))));
}

void CAboutDlg::BuildText() {
    std::string text;
    if (g_unitIdentity.ModelCode == kModelNone) {
        text = ProgramAboutText();
    } else {
        UnitInfoBuffer info{};
        if (ReadUnitInfo(info) == kLinkOk)
            text = UnitAboutText(info, g_unitMessages[0].message, g_unitIdentity.ModelCode,
                                 g_altMenus);
        else
            // An earlier answer's bytes are not this unit's: only the program is shown.
            text = ProgramAboutText() + kUnitInfoUnread;
    }
    m_aboutText = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void CAboutDlg::paintEvent(QPaintEvent* event) {
    CSetupDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_logo);
    QFont face = FaceFont(QString::fromLatin1(kPanelFaceName));
    face.setWeight(QFont::Normal);
    face.setPixelSize(kFaceHeight * logicalDpiY() / 96);
    painter.setFont(face);
    painter.setPen(kAboutTextColor);
    QString shown = m_aboutText;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QRect area = rect().adjusted(0, kAboutTextTop, 0, 0);
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop, shown);
    if (!EngineerView()) return;
    // The counters take the place of the update note, above the button.
    QFont fixed(QStringLiteral("DejaVu Sans Mono"));
    fixed.setStyleHint(QFont::Monospace);
    fixed.setPixelSize(kLinkTextHeight * logicalDpiY() / 96);
    painter.setFont(fixed);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect counters(kLinkTextMargin, m_note->y(), width() - kLinkTextMargin,
                         m_update->y() - m_note->y());
    painter.drawText(counters, Qt::AlignLeft | Qt::AlignTop, m_linkText);
}

void CAboutDlg::mousePressEvent(QMouseEvent* event) {
    // A touch on the panel hardware line opens the engineer's view of the link counters; any
    // other touch but on "Update" closes the box.
    const QRect hardwareLine(0, m_panelVersion->y(), width(), m_panelVersion->height());
    if (event->button() == Qt::LeftButton && !EngineerView() &&
        hardwareLine.contains(event->position().toPoint())) {
        m_linkText = QString::fromStdString(LinkStatsText(TheClock().TickMs()));
        m_note->hide();
        m_contact->hide();
        update();
        return;
    }
    if (event->button() == Qt::LeftButton) reject();
    CSetupDialog::mousePressEvent(event);
}
