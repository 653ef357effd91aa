#include "dialogs/AboutDlg.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cstring>

#include "dialogs/AboutText.h"
#include "link/Commands.h"
#include "link/MenuDatabase.h"
#include "widgets/Resources.h"

namespace {

constexpr int kFaceHeight = 12;  // pixels at 96 pixels per inch
// Dark on the light top of the picture, light on its dark bar and on the dialog's face.
const QColor kTextOnLight(34, 38, 46);
const QColor kTextOnDark(236, 236, 236);
constexpr int kDarkLuminance = 110;

// How far down the picture stays light: its left column is scanned for the first dark pixel.
int LightHeight(const QPixmap& logo) {
    const QImage image = logo.toImage();
    for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(0, y)) < kDarkLuminance) return y;
    return image.height();
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* panel)
    : CSetupDialog(panel, QSize(kAboutTemplateWidth, kAboutTemplateHeight)) {
    setWindowTitle(QStringLiteral("About System"));
    AddLabel(kStaticId, QStringLiteral("Panel Hardware Version:"), DluRect(10, 124, 110, 10));
    m_panelVersion = AddLabel(kIdPanelVersion, QStringLiteral("0.0"), DluRect(122, 124, 110, 10));
    QLabel* build = AddLabel(kStaticId, QStringLiteral("kv4panel %1 for Linux").arg(KV4_VERSION),
                             DluRect(10, 138, 222, 10));
    build->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    QLabel* note = AddLabel(kStaticId, QString::fromLatin1(kUpdateNote), DluRect(10, 156, 222, 54));
    note->setWordWrap(true);
    QLabel* contact =
        AddLabel(kStaticId, QString::fromLatin1(kContactText), DluRect(10, 214, 222, 24));
    contact->setWordWrap(true);
    QPushButton* update = AddButton(kIdUpdate, QStringLiteral("Update"), DluRect(86, 270, 70, 22));
    connect(update, &QPushButton::clicked, this, &QDialog::accept);

    m_logo = LoadBitmapResource(kAboutBitmap);
    m_logoLightHeight = LightHeight(m_logo);
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
    painter.translate(0, ClientTop());
    painter.drawPixmap(0, 0, m_logo);
    QFont face = FaceFont(QString::fromLatin1(kPanelFaceName));
    face.setWeight(QFont::Normal);
    face.setPixelSize(kFaceHeight * logicalDpiY() / 96);
    painter.setFont(face);
    QString shown = m_aboutText;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QRect area(0, kAboutTextTop, width(), height() - ClientTop() - kAboutTextTop);
    // Dark on the light top of the picture, light below it; each with a one-pixel halo of the
    // other colour, so that a line over the wordmark or a square of the picture still reads.
    const QRect light(0, 0, width(), m_logoLightHeight);
    const auto drawOn = [&](const QRegion& ground, const QColor& text, const QColor& halo) {
        painter.setClipRegion(ground);
        painter.setPen(halo);
        for (const QPoint offset : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
            painter.drawText(area.translated(offset), Qt::AlignHCenter | Qt::AlignTop, shown);
        painter.setPen(text);
        painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop, shown);
    };
    drawOn(QRegion(light), kTextOnLight, kTextOnDark);
    drawOn(QRegion(rect()).subtracted(light), kTextOnDark, kTextOnLight);
}

void CAboutDlg::mousePressEvent(QMouseEvent* event) {
    // A touch anywhere but on "Update" closes the box as Cancel does.
    if (event->button() == Qt::LeftButton) {
        reject();
        return;
    }
    CSetupDialog::mousePressEvent(event);
}
