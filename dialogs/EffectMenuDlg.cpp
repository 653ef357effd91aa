#include "dialogs/EffectMenuDlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <cstring>

#include "link/Commands.h"

std::array<uint8_t, kMaxEffects> g_effectListIds{};

namespace {

constexpr int kPlacementTop = 20;
constexpr uint8_t kCmdEffectHeader = 176;
constexpr uint8_t kRespEffectHeader = 0x5C;
constexpr uint8_t kCmdAssignments = 177;
constexpr uint8_t kRespAssignments = 0x5D;
constexpr uint8_t kCmdKeyframe = 178;
constexpr uint8_t kRespKeyframe = 0x5E;
constexpr uint8_t kModeDelete = 0;
constexpr uint8_t kModeRead = 2;
constexpr uint8_t kAssignmentsWritten = 1;
constexpr uint8_t kEffectSavedTopic = 20;
constexpr uint8_t kEffectSavedAnswer = 1;
constexpr int kListedRecords = 128;  // controls 0..127 and switch records 1..128 of the unit
constexpr uint32_t kLastSwitchId = 255;

// Byte positions in an answer.
constexpr int kAtKeyframeCount = 33;
constexpr int kAtEffectWord = 34;
constexpr int kAtAssignmentCount = 9;
constexpr int kAtAssignments = 10;
constexpr int kAtFrameTime = 10;
constexpr int kAtFrameBytes = 12;

// Everything but the unit's own three fields: what the panel learnt of an effect.
void KeepLearnt(EffectRecord& record, const EffectRecord& learnt) {
    const EffectRecord listed = record;
    record = learnt;
    record.effectId = listed.effectId;
    record.word2 = listed.word2;
    std::memcpy(record.name, listed.name, kNameLength);
}

QString EffectName(const EffectRecord& effect) {
    return QString::fromLatin1(effect.name,
                               static_cast<qsizetype>(strnlen(effect.name, kNameLength)));
}

// The item of a list whose choice equals value, or -1.
int ItemOf(const std::vector<uint8_t>& choices, uint8_t value) {
    const auto at = std::find(choices.begin(), choices.end(), value);
    return at == choices.end() ? -1 : static_cast<int>(at - choices.begin());
}

void ClearAssignments() {
    g_effectKnobAssign.fill(kNoControl);
    g_effectButtonAssign.fill(kNoSwitch);
}

}  // namespace

uint8_t EffectNumber(const EffectRecord& effect) {
    return static_cast<uint8_t>(effect.effectId & 0xFF);
}

CEffectMenuDlg::CEffectMenuDlg(QWidget* panel)
    : CSetupDialog(panel, QSize(kEffectTemplateWidth, kEffectTemplateHeight)) {
    auto group = [this](const char* title, const QRect& dlu) {
        auto* box = new QGroupBox(QString::fromLatin1(title), this);
        box->setObjectName(QString::number(kStaticId));
        box->setGeometry(dlu);
        box->lower();
    };
    group("Effects", DluRect(7, 4, 150, 155));
    m_effects = AddList(kIdEffectList, DluRect(14, 17, 136, 112));
    AddButton(kIdEffectLoad, QStringLiteral("Load"), DluRect(14, 133, 64, 20));
    AddButton(kIdEffectDelete, QStringLiteral("Delete"), DluRect(86, 133, 64, 20));

    group("Knobs", DluRect(164, 4, 156, 110));
    for (int k = 0; k < 4; ++k) {
        const int y = 19 + 23 * k;
        AddLabel(kStaticId, QStringLiteral("%1:").arg(k + 1), DluRect(171, y + 2, 12, 10));
        m_knobLists[k] = new QComboBox(this);
        m_knobLists[k]->setObjectName(QString::number(kIdKnobLists[k]));
        m_knobLists[k]->setGeometry(DluRect(185, y, 128, 15));
    }

    group("Buttons", DluRect(327, 4, 153, 64));
    for (int k = 0; k < 2; ++k) {
        const int y = 19 + 23 * k;
        AddLabel(kStaticId, QStringLiteral("%1:").arg(k + 1), DluRect(334, y + 2, 12, 10));
        m_buttonLists[k] = new QComboBox(this);
        m_buttonLists[k]->setObjectName(QString::number(kIdButtonLists[k]));
        m_buttonLists[k]->setGeometry(DluRect(348, y, 125, 15));
    }

    AddLabel(kStaticId, QStringLiteral("Effect Name:"), DluRect(164, 124, 56, 10));
    m_name = AddEdit(kIdEffectName, DluRect(222, 121, 98, 15));
    m_name->setMaxLength(kNameLength - 1);
    AddButton(kIdEffectSave, QStringLiteral("Save"), DluRect(327, 118, 72, 20));
    QPushButton* close =
        AddButton(kIdEffectClose, QStringLiteral("Close"), DluRect(408, 139, 72, 20));
    close->setDefault(true);

    connect(findChild<QPushButton*>(QString::number(kIdEffectLoad)), &QPushButton::clicked, this,
            [this] { OnLoad(); });
    connect(findChild<QPushButton*>(QString::number(kIdEffectDelete)), &QPushButton::clicked, this,
            [this] { OnDelete(); });
    connect(findChild<QPushButton*>(QString::number(kIdEffectSave)), &QPushButton::clicked, this,
            [this] { OnSave(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QPoint CEffectMenuDlg::Placement(QSize outer) const {
    return {(kScreenWidth - outer.width()) / 2 + 2, kPlacementTop};
}

int CEffectMenuDlg::exec() {
    OnInitDialog();
    return CSetupDialog::exec();
}

void CEffectMenuDlg::OnInitDialog() {
    if (m_initialised) return;
    m_initialised = true;
    setWindowTitle(QStringLiteral("Effect Menu"));
    RefreshEffects();
    FillChoices();
    ShowAssignments();
    UseKeyboard(m_name);
}

void CEffectMenuDlg::accept() {
    StoreSelections();
    CSetupDialog::accept();
}

// ---- The lists ----------------------------------------------------------------------------------

void CEffectMenuDlg::FillChoices() {
    m_knobChoices = {kNoControl};
    m_buttonChoices = {kNoSwitch};
    QStringList knobs = {QStringLiteral("None")};
    QStringList buttons = {QStringLiteral("None")};
    for (int i = 0; i < kListedRecords; ++i) {
        const ControlRecord& c = g_menuDatabase.controls[i];
        if (c.id != kNoControl && !c.name.empty()) {
            knobs << ListName(c.name);
            m_knobChoices.push_back(static_cast<uint8_t>(c.id));
        }
        const SwitchRecord& s = g_menuDatabase.switches[i + 1];
        if (s.id > kFirstSwitchId && s.id < kLastSwitchId) {
            buttons << ListName(s.name);
            m_buttonChoices.push_back(static_cast<uint8_t>(s.id - kFirstSwitchId));
        }
    }
    for (QComboBox* list : m_knobLists)
        list->addItems(knobs);
    for (QComboBox* list : m_buttonLists)
        list->addItems(buttons);
}

void CEffectMenuDlg::ShowAssignments() {
    for (int k = 0; k < 4; ++k)
        m_knobLists[k]->setCurrentIndex(ItemOf(m_knobChoices, g_effectKnobAssign[k]));
    for (int k = 0; k < 2; ++k)
        m_buttonLists[k]->setCurrentIndex(ItemOf(m_buttonChoices, g_effectButtonAssign[k]));
}

void CEffectMenuDlg::StoreSelections() {
    // A list that shows no selection holds an assignment the lists do not offer (a control
    // the unit no longer names): it stays as it was.
    for (int k = 0; k < 4; ++k)
        if (const int item = m_knobLists[k]->currentIndex(); item >= 0)
            g_effectKnobAssign[k] = m_knobChoices[item];
    for (int k = 0; k < 2; ++k)
        if (const int item = m_buttonLists[k]->currentIndex(); item >= 0)
            g_effectButtonAssign[k] = m_buttonChoices[item];
}

void CEffectMenuDlg::RefreshEffects() {
    // The unit's list may have moved since the panel learnt the keyframes and assignments of
    // its effects: they follow their effect's number, and the current effect with them.
    const std::vector<EffectRecord> before(
        g_effects.begin(), g_effects.begin() + std::min<uint32_t>(g_effectCount, kMaxEffects));
    const bool current = g_currentEffect < before.size();
    const uint32_t currentId = current ? before[g_currentEffect].effectId : 0;
    const bool read = ReadEffectList() == kLinkOk;
    if (read) {
        // An effect the unit no longer lists cannot stay current.
        if (current) g_currentEffect = kNoEffect;
        for (uint32_t i = 0; i < g_effectCount; ++i) {
            const auto learnt = std::find_if(
                before.begin(), before.end(),
                [&](const EffectRecord& e) { return e.effectId == g_effects[i].effectId; });
            KeepLearnt(g_effects[i], learnt == before.end() ? EffectRecord{} : *learnt);
            if (current && g_effects[i].effectId == currentId)
                g_currentEffect = static_cast<uint8_t>(i);
        }
    }
    m_effects->clear();
    // A list the unit did not send is not shown: the table may hold another unit's effects,
    // whose numbers Load and Delete would send to this one.
    for (uint32_t i = 0; read && i < g_effectCount; ++i) {
        m_effects->addItem(EffectName(g_effects[i]));
        g_effectListIds[i] = EffectNumber(g_effects[i]);
    }
    // No effect is the target of Load or Delete until the operator touches one.
    m_effects->setCurrentRow(-1);
    m_effects->clearSelection();
}

int CEffectMenuDlg::SelectedEffect() const {
    const int row = m_effects->SelectedRow();
    return row < std::min(static_cast<int>(g_effectCount), m_effects->count()) ? row : -1;
}

// ---- The operations ----------------------------------------------------------------------------

void CEffectMenuDlg::OnLoad() {
    const int row = SelectedEffect();
    if (row < 0) return;
    g_currentEffect = static_cast<uint8_t>(row);
    EffectRecord& effect = g_effects[row];
    const uint8_t id = g_effectListIds[row];

    ResponseBuffer a{};
    SendCommand2(kCmdEffectHeader, kRespEffectHeader, id, kModeRead, a);
    // The panel keeps 32 keyframes and 32 assignment bytes of an effect.
    effect.keyframeCount = std::min<uint32_t>(a[kAtKeyframeCount], kMaxKeyframes);
    effect.effectWord = static_cast<uint32_t>(a[kAtEffectWord] << 8 | a[kAtEffectWord + 1]);
    ClearAssignments();

    SendCommand2(kCmdAssignments, kRespAssignments, id, kModeRead, a);
    effect.assignmentCount = std::min<uint32_t>(a[kAtAssignmentCount], kMaxAssignments);
    std::memcpy(effect.assignments, a.data() + kAtAssignments, effect.assignmentCount);
    // Controls go to the knob slots in order, switches (numbered above 128) to the button
    // slots as the switch tables number them; what finds no free slot is not worked.
    size_t knob = 0, button = 0;
    for (uint32_t i = 0; i < effect.assignmentCount; ++i) {
        const uint8_t b = effect.assignments[i];
        if (b <= kFirstSwitchId && knob < g_effectKnobAssign.size())
            g_effectKnobAssign[knob++] = b;
        else if (b > kFirstSwitchId && button < g_effectButtonAssign.size())
            g_effectButtonAssign[button++] = static_cast<uint8_t>(b - kFirstSwitchId);
    }

    // An effect without keyframes has none to stand on.
    effect.currentKeyframe = effect.keyframeCount > 0 ? 1 : 0;
    for (uint32_t i = 0; i < effect.keyframeCount; ++i) {
        SendCommand3(kCmdKeyframe, kRespKeyframe, id, static_cast<uint8_t>(i), kModeRead, a);
        Keyframe& frame = effect.keyframes[i];
        frame.frameTime = static_cast<uint32_t>(a[kAtFrameTime] << 8 | a[kAtFrameTime + 1]);
        std::memcpy(frame.bytes, a.data() + kAtFrameBytes, sizeof frame.bytes);
    }
    ShowAssignments();
}

void CEffectMenuDlg::OnDelete() {
    const int row = SelectedEffect();
    if (row < 0) return;
    const QString question =
        QString::fromLatin1(kMsgDeleteEffectFormat).arg(m_effects->item(row)->text());
    if (Ask(question.toLatin1().toStdString(), PromptButtons::YesNo, PromptIcon::Question) !=
        PromptAnswer::Yes)
        return;
    ResponseBuffer a{};
    SendCommand2(kCmdEffectHeader, kRespEffectHeader, g_effectListIds[row], kModeDelete, a);
    // The deleted effect can no longer be run or given keyframes.
    g_currentEffect = kNoEffect;
    ClearAssignments();
    RefreshEffects();
    ShowAssignments();
}

void CEffectMenuDlg::OnSave() {
    uint8_t number = 0;
    // Without the unit's number for the new effect its assignments would go to another one.
    if (SaveEffect(m_name->text().toLatin1().toStdString(), number) != kLinkOk) return;
    if (Identify(g_selectedUnit, g_unitIdentity) == kLinkOk &&
        g_unitIdentity.MessageNumber != kNoMessage)
        SendReply(kEffectSavedTopic, kEffectSavedAnswer);
    StoreSelections();

    std::vector<uint8_t> message = {number, kAssignmentsWritten, 0};
    for (const uint8_t knob : g_effectKnobAssign)
        if (knob != kNoControl) message.push_back(knob);
    message[2] = static_cast<uint8_t>(message.size() - 3);
    ResponseBuffer a{};
    SendCommandBytes(kCmdAssignments, kRespAssignments, static_cast<int>(message.size()),
                     message.data(), a);

    RefreshEffects();
    // The new effect is current; one the unit does not list has no record to work on.
    g_currentEffect = kNoEffect;
    for (uint32_t i = 0; i < g_effectCount; ++i)
        if (EffectNumber(g_effects[i]) == number) g_currentEffect = static_cast<uint8_t>(i);
    ShowAssignments();
}
