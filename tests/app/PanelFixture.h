#pragma once

#include <gtest/gtest.h>

#include <QTemporaryFile>

#include <memory>
#include <string>

#include "app/panel/MainPanelDlg.h"
#include "link/ConfigFile.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "sim/SimRig.h"
#include "tests/support/QtPrinters.h"

// The real main panel against the standard simulated rig (units 1..3 on line: Elm, Birch,
// Cedar; unit 4 off line), on a virtual clock. Timer handlers are called directly.
class PanelTest : public testing::Test {
protected:
    void SetUp() override {
        ResetPanelState();
        ResetConfig();
        rig = SimRig::Standard();
        SetPortIo(&rig->Port());
        SetClock(&clock);
    }
    void TearDown() override {
        panel.reset();
        SetPortIo(nullptr);
        SetClock(nullptr);
        ResetConfig();
    }

    CMainPanelDlg& Start(const std::string& configPath = "/nonexistent/KV4.ini") {
        panel = std::make_unique<CMainPanelDlg>(configPath);
        panel->OnInitDialog();
        return *panel;
    }
    // Starts the panel with a configuration file holding text.
    CMainPanelDlg& StartWithConfig(const char* text) {
        config = std::make_unique<QTemporaryFile>();
        config->open();
        config->write(text);
        config->flush();
        return Start(config->fileName().toStdString());
    }
    // A key of the control surface, pressed before the next scan.
    void Press(int row, uint8_t bit) { rig->Surface().PressKey(row, bit); }
    // Presses unit n's key and lets the idle scan select and connect it.
    void Connect(int unit) {
        Press(unit, 0x01);
        panel->OnTimer(1);
    }

    std::unique_ptr<SimRig> rig;
    VirtualClock clock;
    std::unique_ptr<CMainPanelDlg> panel;
    std::unique_ptr<QTemporaryFile> config;
};
