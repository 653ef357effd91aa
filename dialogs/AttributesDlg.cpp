#include "dialogs/AttributesDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <cstdio>

#include "link/Commands.h"

namespace {

constexpr uint32_t kLastSwitchId = 255;

std::string Line(const char* format, long long value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string NameLine(const std::string& name) {
    return "\n   Control Name: " + ListName(name).toLatin1().toStdString() + "\n";
}

}  // namespace

std::string ControlDescription(const ControlRecord& c) {
    return NameLine(c.name) + Line("Minimum Value: %lld\n", c.minValue) +
           Line("Maximum Value: %lld\n", c.maxValue) +
           Line("Minimum Display Value: %lld\n", c.minDisplay) +
           Line("Maximum Display Value: %lld\n", c.maxDisplay) + Line("Mask: %llx\n", c.mask) +
           Line("Attributes: %lld\n", c.attributes) + Line("Type: %lld\n", c.type) +
           Line("ID: %lld\n", c.id);
}

std::string SwitchDescription(const SwitchRecord& s) {
    return NameLine(s.name) + Line("Minimum Value: %lld\n", s.minValue) +
           Line("Maximum Value: %lld\n", s.maxValue) + Line("States: %lld\n", s.states) +
           Line("Mask: %llx\n", s.mask) + Line("Attributes: %lld\n", s.attributes) +
           Line("Type: %lld\n", s.type) + Line("ID: %lld\n", s.id);
}

CAttributesDlg::CAttributesDlg(QWidget* panel, ControlRecord* control, SwitchRecord* switchRecord)
    : CSetupDialog(panel, QSize(kAttributesTemplateWidth, kAttributesTemplateHeight)),
      m_control(switchRecord ? nullptr : control),
      m_switch(switchRecord) {
    setWindowTitle(QStringLiteral("Attributes"));
    QLabel* description = AddLabel(kIdDescription, QString(), DluRect(7, 7, 193, 104), true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    description->setMargin(3);
    m_lockout = new QCheckBox(QStringLiteral("On Air Lockout"), this);
    m_lockout->setObjectName(QString::number(kIdOnAirLockout));
    m_lockout->setGeometry(DluRect(9, 118, 100, 16));
    QPushButton* close =
        AddButton(kIdAttributesClose, QStringLiteral("Close"), DluRect(137, 115, 63, 20));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_lockout, &QCheckBox::clicked, this, [this](bool checked) { OnLockout(checked); });

    const uint32_t attributes = m_switch    ? m_switch->attributes
                                : m_control ? m_control->attributes
                                            : 0;
    if (m_switch) {
        description->setText(QString::fromLatin1(SwitchDescription(*m_switch).c_str()));
        m_id = static_cast<uint8_t>(m_switch->id & 0xFF);
    } else if (m_control) {
        description->setText(QString::fromLatin1(ControlDescription(*m_control).c_str()));
        m_id = static_cast<uint8_t>(m_control->id & 0xFF);
    }
    m_lockout->setChecked(attributes & kAttrLocked);
    // The panel's own records (the Effect Menu's knobs and functions) have no lock on the
    // unit; their id 0 would lock control 0.
    m_lockout->setEnabled(UnitRecord());
}

QPoint CAttributesDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2 + 2, (kScreenHeight - outer.height()) / 3};
}

bool CAttributesDlg::UnitRecord() const {
    const auto& db = g_menuDatabase;
    if (m_control) return m_control->id < kNoControl && &db.controls[m_control->id] == m_control;
    if (m_switch)
        return m_switch->id > kFirstSwitchId && m_switch->id <= kLastSwitchId &&
               &db.switches[m_switch->id - kFirstSwitchId] == m_switch;
    return false;
}

void CAttributesDlg::OnLockout(bool checked) {
    uint32_t& attributes = m_switch ? m_switch->attributes : m_control->attributes;
    // A lock the unit did not take is not shown as made: the box and the record keep the lock
    // as the unit holds it.
    if (SetLock(m_id, checked ? kLock : kUnlock) != kLinkOk) {
        m_lockout->setChecked(attributes & kAttrLocked);
        Ask(kMsgNoAnswer, PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    attributes = checked ? (attributes | kAttrLocked) : (attributes & ~kAttrLocked);
}
