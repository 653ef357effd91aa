#pragma once

// The commands the unit-answer fuzzer drives, by number; the seed maker records the simulator's
// answers to the same calls.

#include <array>
#include <string>

#include "link/Commands.h"
#include "link/MenuDatabase.h"

inline constexpr int kUnitCommandChoices = 31;

// Runs command number command (0 .. kUnitCommandChoices - 1) with parameter param.
inline void RunUnitCommand(uint8_t command, uint8_t param) {
    ResponseBuffer rx;
    std::string text;
    uint8_t number = 0;
    switch (command) {
        case 0: {
            UnitIdentity identity;
            Identify(static_cast<UnitAddress>(0x10 * (1 + param % 4)), identity);
            break;
        }
        case 1:
            ReadValues();
            break;
        case 2:
            ReadValues2();
            break;
        case 3:
            AdjustControl(param, static_cast<int16_t>(param) - 128);
            break;
        case 4:
            SetControlValue(param, param & 1 ? kResetValue : -param);
            break;
        case 5:
            SetSwitchValue(static_cast<uint8_t>(param | 0x80), param);
            break;
        case 6:
            PressSwitchNoWait(static_cast<uint8_t>(param | 0x80));
            break;
        case 7:
            QueryMenuReady();
            break;
        case 8: {
            static MenuBlock block;
            DownloadMenuBlob(block);
            break;
        }
        case 9:
            ReadFileList(param & 1 ? FileList::UserFiles : FileList::Files);
            break;
        case 10:
            SaveFile("fuzz file", param, kNewFile, param & 1);
            break;
        case 11:
            LoadFile(param, param & 1);
            break;
        case 12:
            DeleteFile(param, param & 1);
            break;
        case 13:
            ReadFileData(param);
            break;
        case 14:
            g_transferLength = param * 7u;
            WriteFileData(0x20);
            break;
        case 15:
            ReadEffectList();
            break;
        case 16:
            SaveEffect("fuzz effect", number);
            break;
        case 17:
            SelectEffect(param);
            break;
        case 18:
            ReadGpiSequenceList();
            break;
        case 19:
            GpiSequenceCommand(param % 8, kGpiReadDetail + param % 3);
            break;
        case 20:
            AddGpiEvent(param % 8, param, param / 8, param & 1);
            break;
        case 21:
            ReadLockTables();
            break;
        case 22:
            SetLock(param, param & 1 ? kLock : kUnlock);
            break;
        case 23:
            ReadTitle(text);
            break;
        case 24:
            ReadUnitText(text);
            break;
        case 25:
            SendReply(11, 1 + param % 2);
            break;
        case 26: {
            std::array<uint8_t, kUnitInfoLength> info;
            ReadUnitInfo(info);
            break;
        }
        case 27: {
            // A relayed serial frame: 0x02, n, n + 1 bytes.
            std::array<uint8_t, 260> frame{};
            frame[0] = 0x02;
            frame[1] = static_cast<uint8_t>(param % 251 + 1);
            PassThrough(frame.data(), rx);
            break;
        }
        case 28:
            SendSimpleCommand(param, param / 2, rx, kSpinNormal);
            break;
        case 29:
            SendPingedCommand(0x30, param, param / 2, rx, kSpinNormal);
            break;
        default: {
            // The commands a menu load makes one after another.
            static MenuBlock block;
            DownloadMenus(block);
            break;
        }
    }
}
