#pragma once

// The GPI dialog of group-A units: one tab per GPI sequence held by the selected Main Unit.
// The operator builds a sequence's events from the unit's files, removes them, and moves the
// current event by hand. Every button is a command the unit carries out at once; the lists
// show what the unit said last.

#include "dialogs/DialogKit.h"

class QTabBar;

// Template 152; template 181 (CGpiInputDlg) adds a row for the selected input's settings.
inline constexpr int kGpiTemplate = 152;
inline constexpr int kGpiTemplateWidth = 492;
inline constexpr int kGpiTemplateHeight = 206;
inline constexpr int kIdGpiTabs = 1092;
inline constexpr int kIdGpiFiles = 1069;
inline constexpr int kIdGpiPageUp = 1098;
inline constexpr int kIdGpiUp = 1095;
inline constexpr int kIdGpiDown = 1101;
inline constexpr int kIdGpiPageDown = 1099;
inline constexpr int kIdGpiAdd = 1094;
inline constexpr int kIdGpiEvents = 1070;
inline constexpr int kIdGpiRemove = 1093;
inline constexpr int kIdGpiRemoveAll = 1096;
inline constexpr int kIdGpiStepUp = 1104;
inline constexpr int kIdGpiStepDown = 1105;
inline constexpr int kIdGpiReset = 1102;
inline constexpr int kIdGpiClose = 2;

// The menu whose name is the caption and whose controls the input dialog works on.
inline constexpr int kGpiMenu = 32;
inline constexpr int kGpiFilePageStep = 10;
// The unit is given this long after every advance of a sequence.
inline constexpr int kGpiAdvanceWaitMs = 100;
inline constexpr const char* kGpiTabFormat = "   GPI %1       ";
// An event naming a file the unit's file list does not hold.
inline constexpr const char* kGpiMissingFileFormat = "File %1 (not on the unit)";
// An event while the unit's file list could not be read: its file's name is not known.
inline constexpr const char* kGpiUnlistedFileFormat = "File %1";

class CGpiDlg : public CSetupDialog {
public:
    explicit CGpiDlg(QWidget* panel);

    // The opening steps; exec() runs them first.
    void OnInitDialog();
    int exec() override;

    QPoint Placement(QSize outer) const override;

protected:
    CGpiDlg(QWidget* panel, QSize templateDlu);

    // What the input dialog adds to the opening and the closing.
    // The tab shown first, decided before the tabs are added.
    virtual int FirstTab() { return 0; }
    virtual void OnTabAdded(int /*tab*/) {}
    // After the sequence of tab has been shown, on opening and on every tab change.
    virtual void OnTabShown(int /*tab*/) {}
    // The dialog's window is gone.
    virtual void OnDestroyed() {}

    // The tab selected, -1 without sequences.
    int CurrentTab() const;
    int TabCount() const;

private:
    void BuildSequenceControls();
    void ShowSequence(int seq);
    void SelectCurrentEvent(int seq);
    // The detail again and the current event, without rebuilding the list.
    void Reshow(int seq);
    // The sequence list and the sequence again, after its events changed.
    void Reread(int seq);
    // Reset, then count advances with a wait after each; false when the unit failed one.
    bool ResetAndAdvance(int seq, int count);
    QString EventText(int fileId) const;

    void OnTabChanged(int tab);
    void OnEventPicked(int event);
    void OnAdd();
    void OnRemove();
    void OnRemoveAll();
    void OnStepUp();
    void OnStepDown();
    void OnReset();
    void PageFiles(int step);

    bool m_initialised = false;
    bool m_filesRead = false;
    QTabBar* m_tabs = nullptr;
    CTouchList* m_files = nullptr;
    CTouchList* m_events = nullptr;
};
