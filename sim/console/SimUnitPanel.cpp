#include "sim/console/SimUnitPanel.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>
#include <array>
#include <initializer_list>

#include "sim/SimRig.h"
#include "sim/console/ConsoleLook.h"

namespace {

constexpr uint8_t kTallyFlag = 0x01;
constexpr uint8_t kBootModeFlag = 0x08;
constexpr uint8_t kReferenceFlag = 0x40;
constexpr int kQuestionCode = 0x4000;
constexpr int kOwnTextMessage = 100;
constexpr int kMaxSlowReads = 100;
constexpr int kMaxCorruptCount = 99;
// The width a drop-down keeps whatever it holds: enough for most control and message names,
// little enough that four units fit the window. The open list is as wide as its longest entry.
constexpr int kComboLetters = 16;
constexpr int kPopupTextMargin = 16;  // an entry's padding left and right in the open list

struct CorruptionChoice {
    SimCorruption corruption;
    const char* name;
};
constexpr std::array<CorruptionChoice, 6> kCorruptions = {{
    {SimCorruption::None, "No corruption"},
    {SimCorruption::WrongCode, "Wrong answer code"},
    {SimCorruption::WrongType, "Wrong packet type"},
    {SimCorruption::Oversize, "Oversize length"},
    {SimCorruption::CountBeyondData, "Count beyond data"},
    {SimCorruption::CutShort, "Cut short"},
}};

QString ProfileCaption(const SimProfile& profile) {
    return profile.name.empty() ? QStringLiteral("Model %1").arg(profile.model)
                                : QString::fromStdString(profile.name);
}

void SetChecked(QCheckBox* box, bool checked) {
    if (box->isChecked() == checked) return;
    const QSignalBlocker block(box);
    box->setChecked(checked);
}

// The open list of box as wide as its widest entry, its scroll bar included.
void FitPopup(QComboBox* box) {
    int widest = 0;
    for (int i = 0; i < box->count(); ++i)
        widest = std::max(widest, box->view()->fontMetrics().horizontalAdvance(box->itemText(i)));
    const int scrollBar = box->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, box);
    box->view()->setMinimumWidth(widest + kPopupTextMargin + scrollBar);
}

// A unit's controls by id, the order of the ids on the wire and in its menus.
std::vector<const SimControl*> ControlsById(const SimProfile& profile) {
    std::vector<const SimControl*> controls;
    for (const SimControl& control : profile.controls)
        controls.push_back(&control);
    std::sort(controls.begin(), controls.end(),
              [](const SimControl* a, const SimControl* b) { return a->id < b->id; });
    return controls;
}

void SetSpin(QSpinBox* spin, int value) {
    if (spin->hasFocus() || spin->value() == value) return;
    const QSignalBlocker block(spin);
    spin->setValue(value);
}

}  // namespace

const std::vector<std::pair<std::string, SimProfile>>& CSimUnitPanel::ShippedProfiles() {
    static const auto profiles = [] {
        std::vector<std::pair<std::string, SimProfile>> all;
        for (const std::string& name : ShippedProfileNames())
            all.emplace_back(name, ShippedProfile(name));
        return all;
    }();
    return profiles;
}

CSimUnitPanel::CSimUnitPanel(SimRig& rig, int number, QWidget* parent)
    : QGroupBox(QStringLiteral("Main Unit %1").arg(number), parent), m_rig(rig), m_number(number) {
    setObjectName(QStringLiteral("unit%1").arg(number));
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);
    grid->setColumnStretch(1, 1);
    // Rows whose caption would widen the caption column span both columns: four units must fit
    // the window side by side.
    int row = 0;
    auto caption = [this](const char* text) { return new QLabel(QString::fromLatin1(text), this); };

    m_online = new QCheckBox(QStringLiteral("On line"), this);
    m_online->setToolTip(QStringLiteral("Off line, the unit answers nothing at all"));
    m_state = new QLabel(this);
    m_state->setStyleSheet(QStringLiteral("color: #a8a8a8;"));
    auto* online = new QHBoxLayout;
    online->addWidget(m_online);
    online->addStretch();
    online->addWidget(m_state);
    grid->addLayout(online, row++, 0, 1, 2);

    m_profile = new QComboBox(this);
    m_profile->setToolTip(
        QStringLiteral("Power-cycles the unit: it falls silent for a few polls and comes back as "
                       "a fresh unit of this model"));
    grid->addWidget(caption("Model"), row, 0);
    grid->addWidget(m_profile, row++, 1);

    auto* flags = new QHBoxLayout;
    flags->setSpacing(12);
    m_tally = new QCheckBox(QStringLiteral("Tally"), this);
    m_tally->setToolTip(QStringLiteral("The unit is on air"));
    m_reference = new QCheckBox(QStringLiteral("Reference"), this);
    m_reference->setToolTip(QStringLiteral("Reference video present at the unit"));
    m_boot = new QCheckBox(QStringLiteral("Boot"), this);
    m_boot->setToolTip(QStringLiteral("The unit reports that it is in boot mode"));
    flags->addWidget(m_tally);
    flags->addWidget(m_reference);
    flags->addWidget(m_boot);
    flags->addStretch();
    grid->addLayout(flags, row++, 0, 1, 2);

    m_control = new QComboBox(this);
    m_control->setToolTip(QStringLiteral("A control to move at the unit itself"));
    grid->addWidget(caption("Control"), row, 0);
    grid->addWidget(m_control, row++, 1);
    auto* value = new QHBoxLayout;
    m_slider = new QSlider(Qt::Horizontal, this);
    m_value = new QSpinBox(this);
    m_value->setKeyboardTracking(false);
    m_value->setMinimumWidth(62);
    value->addWidget(m_slider, 1);
    value->addWidget(m_value);
    grid->addLayout(value, row++, 0, 1, 2);

    m_message = new QComboBox(this);
    m_message->setToolTip(QStringLiteral("A message or question the unit shows on the panel"));
    m_post = new QPushButton(QStringLiteral("Post"), this);
    m_post->setToolTip(QStringLiteral("Posts the message picked beside it"));
    grid->addWidget(m_post, row, 0);
    grid->addWidget(m_message, row++, 1);

    auto* failing = new QHBoxLayout;
    m_noAnswer = new QCheckBox(QStringLiteral("No answer"), this);
    m_noAnswer->setToolTip(QStringLiteral("On line, but it stops answering"));
    m_slow = new QSpinBox(this);
    m_slow->setRange(0, kMaxSlowReads);
    m_slow->setSpecialValueText(QStringLiteral("not slow"));
    m_slow->setPrefix(QStringLiteral("slow: "));
    m_slow->setSuffix(QStringLiteral(" reads"));
    m_slow->setToolTip(QStringLiteral("Slow: extra status reads before each answer is ready"));
    failing->addWidget(m_noAnswer);
    failing->addStretch();
    failing->addWidget(m_slow);
    grid->addLayout(failing, row++, 0, 1, 2);

    auto* corrupt = new QHBoxLayout;
    m_corruption = new QComboBox(this);
    for (const CorruptionChoice& choice : kCorruptions)
        m_corruption->addItem(QString::fromLatin1(choice.name));
    m_corruption->setToolTip(QStringLiteral("Corrupts the unit's answers on the link"));
    m_corruptCount = new QSpinBox(this);
    m_corruptCount->setRange(0, kMaxCorruptCount);
    m_corruptCount->setSpecialValueText(QStringLiteral("all"));
    m_corruptCount->setValue(1);
    m_corruptCount->setToolTip(QStringLiteral("How many answers to corrupt (all: every one)"));
    corrupt->addWidget(m_corruption, 1);
    corrupt->addWidget(m_corruptCount);
    grid->addLayout(corrupt, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);
    // The short fixed lists show every entry whole; the lists from the profile keep a width.
    for (QComboBox* box : {m_profile, m_corruption})
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (QComboBox* box : {m_control, m_message}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(kComboLetters);
    }
    FitPopup(m_corruption);

    connect(m_online, &QCheckBox::toggled, this,
            [this](bool on) { m_rig.SetOnline(m_number, on); });
    connect(m_profile, &QComboBox::activated, this, &CSimUnitPanel::ChooseProfile);
    connect(m_tally, &QCheckBox::toggled, this, [this](bool on) {
        if (SimUnit* unit = Unit()) unit->SetTally(on);
    });
    connect(m_reference, &QCheckBox::toggled, this, [this](bool on) {
        if (SimUnit* unit = Unit()) unit->SetReferenceVideo(on);
    });
    connect(m_boot, &QCheckBox::toggled, this, [this](bool on) {
        if (SimUnit* unit = Unit()) unit->SetBootMode(on);
    });
    connect(m_control, &QComboBox::currentIndexChanged, this, [this] {
        ShowControlRange();
        ShowValue();
    });
    connect(m_slider, &QSlider::valueChanged, m_value, &QSpinBox::setValue);
    connect(m_value, &QSpinBox::valueChanged, m_slider, &QSlider::setValue);
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        SimUnit* unit = Unit();
        if (unit && m_control->currentIndex() >= 0)
            unit->ChangeControl(m_control->currentData().toInt(), value);
    });
    connect(m_post, &QPushButton::clicked, this, [this] {
        SimUnit* unit = Unit();
        if (unit && m_message->currentIndex() >= 0)
            unit->PostMessage(m_message->currentData().toInt());
    });
    connect(m_noAnswer, &QCheckBox::toggled, this, [this](bool on) {
        if (SimUnit* unit = Unit()) unit->Faults().answersLeft = on ? 0 : -1;
    });
    connect(m_slow, &QSpinBox::valueChanged, this, [this](int reads) {
        if (SimUnit* unit = Unit()) unit->Faults().slowStatusReads = reads;
    });
    connect(m_corruption, &QComboBox::activated, this, &CSimUnitPanel::ApplyCorruption);
    connect(m_corruptCount, &QSpinBox::valueChanged, this, &CSimUnitPanel::ApplyCorruption);

    Rebuild();
    Sync();
}

SimUnit* CSimUnitPanel::Unit() const {
    return m_rig.Unit(m_number);
}

void CSimUnitPanel::Rebuild() {
    const SimUnit* unit = Unit();
    m_shown = unit;

    const QSignalBlocker blockProfile(m_profile);
    m_profile->clear();
    int current = -1;
    for (const auto& [name, profile] : ShippedProfiles()) {
        if (unit && unit->Profile().name == profile.name && unit->Profile().model == profile.model)
            current = m_profile->count();
        m_profile->addItem(ProfileCaption(profile), QString::fromStdString(name));
    }
    if (current < 0) {
        // A unit made from a profile that is not built in, or no unit at all.
        m_profile->insertItem(0, unit ? ProfileCaption(unit->Profile()) : QStringLiteral("(none)"),
                              QString());
        current = 0;
    }
    m_profile->setCurrentIndex(current);

    {
        const QSignalBlocker blockControl(m_control);
        m_control->clear();
        if (unit)
            for (const SimControl* control : ControlsById(unit->Profile()))
                m_control->addItem(
                    QStringLiteral("%1  %2").arg(control->id).arg(OneLineName(control->name)),
                    control->id);
    }
    m_message->clear();
    if (unit) {
        for (const SimMessage& message : unit->Profile().messages) {
            if (message.id == 0) continue;  // the About box template, never posted
            QString text =
                QStringLiteral("%1  %2")
                    .arg(message.id)
                    .arg(OneLineName(message.text.empty() ? message.message : message.text));
            if (message.code & kQuestionCode) text += QStringLiteral(" (question)");
            m_message->addItem(text, message.id);
            m_message->setItemData(m_message->count() - 1, QString::fromStdString(message.message),
                                   Qt::ToolTipRole);
        }
        m_message->addItem(QStringLiteral("%1  The unit's own text").arg(kOwnTextMessage),
                           kOwnTextMessage);
    }

    for (QComboBox* box : {m_profile, m_control, m_message})
        FitPopup(box);
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_online, m_tally, m_reference, m_boot, m_control, m_slider, m_value, m_message,
             m_post, m_noAnswer, m_slow, m_corruption, m_corruptCount})
        w->setEnabled(unit != nullptr);
    ShowControlRange();
    ShowValue();
}

void CSimUnitPanel::ShowControlRange() {
    const SimUnit* unit = Unit();
    int low = 0, high = 0;
    if (unit && m_control->currentIndex() >= 0) {
        const int id = m_control->currentData().toInt();
        for (const SimControl& control : unit->Profile().controls)
            if (control.id == id) {
                low = std::min(control.minValue, control.maxValue);
                high = std::max(control.minValue, control.maxValue);
            }
    }
    const QSignalBlocker blockSlider(m_slider);
    const QSignalBlocker blockValue(m_value);
    m_slider->setRange(low, high);
    m_value->setRange(low, high);
    m_slider->setPageStep(std::max(1, (high - low) / 16));
}

void CSimUnitPanel::ShowValue() {
    const SimUnit* unit = Unit();
    if (!unit || m_control->currentIndex() < 0) return;
    // Leave the value alone while the trainer is moving it.
    if (m_slider->isSliderDown() || m_value->hasFocus()) return;
    const int value = unit->ControlValue(m_control->currentData().toInt());
    if (m_slider->value() == value && m_value->value() == value) return;
    const QSignalBlocker blockSlider(m_slider);
    const QSignalBlocker blockValue(m_value);
    m_slider->setValue(value);
    m_value->setValue(value);
}

void CSimUnitPanel::ChooseProfile(int index) {
    const std::string name = m_profile->itemData(index).toString().toStdString();
    for (const auto& [file, profile] : ShippedProfiles()) {
        if (file != name) continue;
        // As at a real unit: switched off, and after its start-up back as the new model.
        m_rig.PowerCycle(m_number, profile);
        break;
    }
    Rebuild();
    Sync();
}

void CSimUnitPanel::ApplyCorruption() {
    SimUnit* unit = Unit();
    const int index = m_corruption->currentIndex();
    if (!unit || index < 0 || index >= static_cast<int>(kCorruptions.size())) return;
    SimUnitFaults& faults = unit->Faults();
    faults.corruption = kCorruptions[index].corruption;
    faults.corruptCommand = -1;
    faults.corruptCount = m_corruptCount->value() == 0 ? -1 : m_corruptCount->value();
}

void CSimUnitPanel::Sync() {
    SimUnit* unit = Unit();
    if (unit != m_shown) Rebuild();
    SetChecked(m_online, m_rig.Online(m_number));
    if (!unit) {
        m_state->setText(QStringLiteral("no unit"));
        return;
    }
    const uint8_t flags = unit->Flags();
    const QString state = unit->StartingUp()
                              ? QStringLiteral("restarting as model %1").arg(unit->Profile().model)
                              : QStringLiteral("model %1 · flags %2")
                                    .arg(unit->Profile().model)
                                    .arg(flags, 2, 16, QLatin1Char('0'));
    if (m_state->text() != state) {
        m_state->setText(state);
        m_state->setStyleSheet(unit->StartingUp() ? QStringLiteral("color: #e8b040;")
                                                  : QStringLiteral("color: #a8a8a8;"));
    }
    SetChecked(m_tally, flags & kTallyFlag);
    SetChecked(m_reference, flags & kReferenceFlag);
    SetChecked(m_boot, flags & kBootModeFlag);
    ShowValue();

    const SimUnitFaults& faults = unit->Faults();
    SetChecked(m_noAnswer, faults.answersLeft == 0);
    SetSpin(m_slow, faults.slowStatusReads);
    // A corruption whose count has run out is over.
    const bool corrupting = faults.corruption != SimCorruption::None && faults.corruptCount != 0;
    int shown = 0;
    for (size_t c = 0; c < kCorruptions.size(); ++c)
        if (corrupting && kCorruptions[c].corruption == faults.corruption)
            shown = static_cast<int>(c);
    if (m_corruption->currentIndex() != shown) {
        const QSignalBlocker block(m_corruption);
        m_corruption->setCurrentIndex(shown);
    }
    if (corrupting) SetSpin(m_corruptCount, faults.corruptCount < 0 ? 0 : faults.corruptCount);
}
