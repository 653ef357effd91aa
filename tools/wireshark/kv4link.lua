-- Wireshark dissector for the KV4 panel's link trace (kv4panel --trace FILE).
--
-- The trace is pcapng with link type 147 (LINKTYPE_USER0); each packet is one exchange on the
-- parallel-port link, or one wait of the panel. The layout is in docs/trace-format.md.
--
--   tshark -X lua_script:tools/wireshark/kv4link.lua -r FILE
--   wireshark -X lua_script:tools/wireshark/kv4link.lua FILE
--
-- or copy this file into ~/.local/lib/wireshark/plugins/ to have it always.

local kv4 = Proto("kv4link", "KV4 panel link")

local kinds = { [1] = "exchange", [2] = "send only", [3] = "wait" }
local results = {
    [0] = "success",
    [1] = "no response",
    [3] = "too long, or not the data count expected",
    [4] = "wrong type or length",
    [5] = "busy: nothing sent",
    [6] = "wrong response code",
}
local units = { [0] = "control surface", [1] = "Main Unit 1", [2] = "Main Unit 2", [3] = "Main Unit 3",
    [4] = "Main Unit 4", [255] = "none" }

-- The command set, long form (to a Main Unit).
local long_commands = {
    [129] = "AdjustControl",
    [142] = "ReadFileData (next)",
    [143] = "WriteFileData (chunk)",
    [145] = "WriteFileData (open)",
    [146] = "ReadFileData (open)",
    [147] = "LoadFile",
    [153] = "LoadFile with custom menus",
    [158] = "SendReply",
    [159] = "GPI status",
    [165] = "SelectEffect",
    [168] = "Set",
    [171] = "ReadUnitInfo",
    [172] = "ReadValues",
    [173] = "ReadValues2",
    [174] = "ReadValues (rest)",
    [175] = "ReadValues2 (rest)",
    [176] = "Effect",
    [177] = "Effect assignments",
    [178] = "Keyframe",
    [179] = "GpiSequenceCommand",
    [180] = "AddGpiEvent",
    [181] = "ReadUnitText",
    [182] = "ReadTitle",
    [184] = "SetLock",
    [185] = "ReadLockTables",
    [188] = "ReadGpiSequenceList (open)",
    [189] = "ReadGpiSequenceList (next)",
    [190] = "DeleteFile",
    [191] = "DeleteFile (user file)",
    [192] = "Identify",
    [193] = "DownloadMenuBlob",
    [194] = "ReadFileList (open)",
    [195] = "ReadFileList of user files (open)",
    [196] = "ReadEffectList (open)",
    [197] = "QueryMenuReady",
    [198] = "ReadFileList (next)",
    [199] = "ReadFileList of user files (next)",
    [200] = "ReadEffectList (next)",
    [204] = "SaveFile",
    [205] = "SaveFile with custom menus",
    [234] = "file-system update",
    [235] = "tally release",
}

-- Short form (to the panel's own hardware), with the answer length each expects.
local short_commands = {
    [3] = "ReadPanelStatus",
    [4] = "SetPanelLamps",
    [5] = "ConfigurePanel",
    [6] = "ResetLink",
    [10] = "ReadPanelVersion",
    [11] = "short command 11",
}
local short_answer_length = { [3] = 25, [4] = 2, [5] = 2, [6] = 2, [10] = 7 }

-- Response codes as the units use them.
local response_codes = {
    [0] = "ok",
    [2] = "all values",
    [3] = "second values",
    [4] = "value updates",
    [5] = "reply taken",
    [13] = "GPI status",
    [24] = "file data, more",
    [25] = "file data, last",
    [27] = "done",
    [29] = "loaded / event added",
    [0x21] = "unit text",
    [0x22] = "user file deleted",
    [0x24] = "loaded with custom menus",
    [0x25] = "rest of the values",
    [0x26] = "rest of the second values",
    [0x33] = "keyframe time",
    [0x35] = "effect selected",
    [0x40] = "identity",
    [0x41] = "menu blob, more",
    [0x42] = "menu blob, last",
    [0x43] = "file list, more",
    [0x44] = "file list, last",
    [0x45] = "user file list, more",
    [0x46] = "user file list, last",
    [0x47] = "effect list, more",
    [0x48] = "effect list, last",
    [0x49] = "GPI list, more",
    [0x4A] = "GPI list, last",
    [0x5C] = "effect",
    [0x5D] = "effect assignments",
    [0x5E] = "keyframe",
    [0x5F] = "GPI detail",
}

local f = kv4.fields
f.version = ProtoField.uint8("kv4link.version", "Trace format")
f.kind = ProtoField.uint8("kv4link.kind", "Kind", base.DEC, kinds)
f.unit = ProtoField.uint8("kv4link.unit", "Unit", base.DEC, units)
f.result = ProtoField.uint8("kv4link.result", "Result", base.DEC, results)
f.spins = ProtoField.uint32("kv4link.spins", "Status reads spent waiting")
f.wait_ms = ProtoField.uint32("kv4link.wait_ms", "Wait asked (ms)")
f.duration = ProtoField.uint32("kv4link.duration", "Duration (us)")
f.request_length = ProtoField.uint16("kv4link.request_length", "Request bytes")
f.answer_length = ProtoField.uint16("kv4link.answer_length", "Answer bytes read")

f.form = ProtoField.string("kv4link.form", "Form")
f.req_type = ProtoField.uint8("kv4link.req.type", "Packet type", base.HEX)
f.req_length = ProtoField.uint8("kv4link.req.length", "Total length")
f.req_address = ProtoField.uint8("kv4link.req.address", "Address (unit + 2)", base.HEX)
f.req_n = ProtoField.uint8("kv4link.req.n", "N (command and parameters)")
f.command = ProtoField.uint8("kv4link.command", "Command", base.DEC, long_commands)
f.short_command = ProtoField.uint8("kv4link.short_command", "Short command", base.DEC,
    short_commands)
f.command_name = ProtoField.string("kv4link.command_name", "Command name")
f.param = ProtoField.uint8("kv4link.param", "Parameter", base.DEC)
f.param_id = ProtoField.uint8("kv4link.param.id", "Control or switch id")
f.param_value16 = ProtoField.uint16("kv4link.param.value", "Value")
f.param_value8 = ProtoField.uint8("kv4link.param.switch_value", "Switch value")
f.param_delta = ProtoField.int16("kv4link.param.delta", "Movement")
f.param_number = ProtoField.uint8("kv4link.param.number", "Number")
f.param_file_id = ProtoField.uint16("kv4link.param.file_id", "File id")
f.param_file_word = ProtoField.uint16("kv4link.param.file_word", "File word", base.HEX)
f.param_menu = ProtoField.uint16("kv4link.param.menu", "Menu")
f.param_name = ProtoField.stringz("kv4link.param.name", "Name")
f.param_bytes = ProtoField.bytes("kv4link.param.bytes", "Parameter bytes")
f.terminator = ProtoField.uint8("kv4link.req.terminator", "Terminator", base.HEX)

f.ans_type = ProtoField.uint8("kv4link.ans.type", "Answer type")
f.ans_length = ProtoField.uint16("kv4link.ans.length", "L (total length, low byte first)")
f.ans_header = ProtoField.uint8("kv4link.ans.header", "Header byte", base.HEX)
f.ans_count = ProtoField.uint8("kv4link.ans.count", "C (data bytes + 1)")
f.ans_code = ProtoField.uint8("kv4link.ans.code", "Response code", base.HEX, response_codes)
f.ans_short_length = ProtoField.uint8("kv4link.ans.short_length", "Length")
f.ans_data = ProtoField.bytes("kv4link.ans.data", "Data")

local e = {
    no_answer = ProtoExpert.new("kv4link.no_answer.expert", "No answer within the spin limit",
        expert.group.RESPONSE_CODE, expert.severity.WARN),
    busy = ProtoExpert.new("kv4link.busy.expert", "The far side was busy: nothing was sent",
        expert.group.RESPONSE_CODE, expert.severity.WARN),
    wrong_type = ProtoExpert.new("kv4link.wrong_type", "Wrong answer type",
        expert.group.MALFORMED, expert.severity.ERROR),
    too_long = ProtoExpert.new("kv4link.too_long", "L of 262 or more: the data were left unread",
        expert.group.MALFORMED, expert.severity.ERROR),
    count_beyond = ProtoExpert.new("kv4link.count_beyond", "C says more data than L carries",
        expert.group.MALFORMED, expert.severity.ERROR),
    short_length = ProtoExpert.new("kv4link.short_length",
        "Answer length is not the one the command expects",
        expert.group.MALFORMED, expert.severity.ERROR),
    bad_packet = ProtoExpert.new("kv4link.bad_packet", "The trace packet does not hold together",
        expert.group.MALFORMED, expert.severity.ERROR),
}
kv4.experts = { e.no_answer, e.busy, e.wrong_type, e.too_long, e.count_beyond,
    e.short_length, e.bad_packet }

local function unit_name(slot)
    if slot == 0 then return "surface" end
    if slot >= 1 and slot <= 4 then return "Main Unit " .. slot end
    return "unit ?"
end

local function code_text(code)
    local name = response_codes[code]
    local char = (code >= 0x21 and code < 0x7F) and (" '" .. string.char(code) .. "'") or ""
    return string.format("0x%02X%s%s", code, char, name and (" " .. name) or "")
end

-- The name of a long-form request, with the variants one code serves; params may be nil.
local function long_name(code, params, kind)
    local n = params and params:len() or 0
    if code == 168 and n >= 1 then
        -- A press whose answer is never read.
        if kind == 2 and n == 2 and params(1, 1):uint() == 1 then return "PressSwitchNoWait" end
        if params(0, 1):uint() >= 128 then return "SetSwitchValue" end
        return "SetControlValue"
    elseif code == 176 and n >= 2 then
        local first, second = params(0, 1):uint(), params(1, 1):uint()
        if first == 0xFF then return "SaveEffect" end
        if second == 0 then return "delete effect" end
        return "read effect header"
    elseif code == 177 then
        return n == 2 and "read effect assignments" or "write effect assignments"
    elseif code == 178 then
        return n == 3 and "read keyframe" or "edit keyframes"
    end
    return long_commands[code] or ("command " .. code)
end

-- Parameters the commands give meaning to, high byte first.
local function add_params(tree, code, params)
    local n = params:len()
    if n == 0 then return end
    if code == 129 and n >= 3 then
        tree:add(f.param_id, params(0, 1))
        tree:add(f.param_delta, params(1, 2))
    elseif code == 168 and n >= 2 then
        tree:add(f.param_id, params(0, 1))
        if params(0, 1):uint() >= 128 then
            tree:add(f.param_value8, params(1, 1))
        elseif n >= 3 then
            tree:add(f.param_value16, params(1, 2))
        end
    elseif (code == 190 or code == 191) and n >= 2 then
        tree:add(f.param_file_id, params(0, 2))
    elseif (code == 142 or code == 146 or code == 147 or code == 153 or code == 165) then
        tree:add(f.param_number, params(0, 1))
    elseif code == 180 and n >= 5 then
        tree:add(f.param_number, params(0, 1)):append_text(" (sequence)")
        tree:add(f.param, params(1, 1)):append_text(" (position)")
        tree:add(f.param, params(2, 1)):append_text(" (1 insert, 0 remove)")
        tree:add(f.param, params(3, 1))
        tree:add(f.param_file_id, params(4, n - 4 >= 2 and 2 or 1))
    elseif code == 176 and n >= 3 and params(0, 1):uint() == 0xFF then
        tree:add(f.param, params(0, 1))
        tree:add(f.param, params(1, 1))
        tree:add(f.param_name, params(2, n - 2))
    else
        for i = 0, n - 1 do tree:add(f.param, params(i, 1)) end
    end
end

local function dissect_long_request(tree, req, kind)
    local t = tree:add(kv4, req, "Request (panel to Main Unit), long form")
    t:add(f.form, "long")
    t:add(f.req_type, req(0, 1))
    if req:len() < 5 then return nil, "short request" end
    t:add(f.req_length, req(1, 1))
    t:add(f.req_address, req(2, 1)):append_text(string.format(" (Main Unit %d)",
        math.floor((req(2, 1):uint() - 2) / 16)))
    t:add(f.req_n, req(3, 1))
    local code = req(4, 1):uint()
    t:add(f.command, req(4, 1))
    local len = req:len()
    local params
    if code == 204 or code == 205 then
        -- The save requests carry file word, menu and name, and no terminator.
        if len > 5 then params = req(5, len - 5) end
        if params and params:len() >= 4 then
            t:add(f.param_file_word, params(0, 2))
            t:add(f.param_menu, params(2, 2))
            if params:len() > 4 then t:add(f.param_name, params(4, math.min(24, params:len() - 4))) end
            if params:len() > 30 then t:add(f.param_bytes, params(30)):append_text(" (custom menus)") end
        end
    elseif code == 143 then
        if len > 5 then t:add(f.param_bytes, req(5, len - 5)):append_text(" (file data chunk)") end
    else
        local last = len - 1
        if last > 5 then params = req(5, last - 5) end
        if params then add_params(t, code, params) end
        if last >= 5 then t:add(f.terminator, req(last, 1)) end
    end
    local name = long_name(code, params, kind)
    t:add(f.command_name, name)
    return code, name
end

local function dissect_short_request(tree, req)
    local t = tree:add(kv4, req, "Request (panel to control surface), short form")
    t:add(f.form, "short")
    local code = req(0, 1):uint()
    t:add(f.short_command, req(0, 1))
    if req:len() >= 2 then t:add(f.req_length, req(1, 1)) end
    if req:len() > 2 then
        local params = req(2, req:len() - 2)
        for i = 0, params:len() - 1 do t:add(f.param, params(i, 1)) end
    end
    local name = short_commands[code] or ("short command " .. code)
    t:add(f.command_name, name)
    return code, name
end

-- The answer of a Main Unit; gives a short text for the info column.
local function dissect_long_answer(tree, ans, result)
    local t = tree:add(kv4, ans, "Answer (Main Unit to panel), long form")
    local n = ans:len()
    local type_item = t:add(f.ans_type, ans(0, 1))
    local answer_type = ans(0, 1):uint()
    if answer_type ~= 9 then type_item:add_proto_expert_info(e.wrong_type, "Wrong answer type " ..
        answer_type .. " (9 expected)") end
    if n < 6 then return "answer cut short" end
    local length = ans(1, 2):le_uint()
    local length_item = t:add_le(f.ans_length, ans(1, 2))
    t:add(f.ans_header, ans(3, 1))
    local count = ans(4, 1):uint()
    local count_item = t:add(f.ans_count, ans(4, 1))
    local code = ans(5, 1):uint()
    t:add(f.ans_code, ans(5, 1))
    if n > 6 then t:add(f.ans_data, ans(6, n - 6)) end
    local data = length - 6
    if data >= 256 then
        length_item:add_proto_expert_info(e.too_long, string.format(
            "L = %d: %d data bytes, more than the 255 the panel takes; left unread", length, data))
    elseif count - 1 > math.max(data, 0) then
        count_item:add_proto_expert_info(e.count_beyond, string.format(
            "C = %d says %d data bytes; L = %d carries %d", count, count - 1, length,
            math.max(data, 0)))
    end
    return string.format("type %d L=%d C=%d code %s", answer_type, length, count, code_text(code))
end

local function dissect_short_answer(tree, ans, command)
    local t = tree:add(kv4, ans, "Answer (control surface to panel), short form")
    local type_item = t:add(f.ans_type, ans(0, 1))
    local answer_type = ans(0, 1):uint()
    if answer_type ~= 1 then type_item:add_proto_expert_info(e.wrong_type, "Wrong answer type " ..
        answer_type .. " (1 expected)") end
    if ans:len() < 2 then return "answer cut short" end
    local length = ans(1, 1):uint()
    local length_item = t:add(f.ans_short_length, ans(1, 1))
    if ans:len() > 2 then t:add(f.ans_data, ans(2, ans:len() - 2)) end
    local expected = short_answer_length[command]
    if expected and length ~= expected then
        length_item:add_proto_expert_info(e.short_length, string.format(
            "Length %d; %s expects %d", length, short_commands[command], expected))
    end
    return string.format("type %d length %d", answer_type, length)
end

function kv4.dissector(tvb, pinfo, tree)
    pinfo.cols.protocol = "KV4"
    local root = tree:add(kv4, tvb(), "KV4 panel link")
    if tvb:len() < 16 then
        root:add_proto_expert_info(e.bad_packet)
        return
    end
    root:add(f.version, tvb(0, 1))
    local kind = tvb(1, 1):uint()
    local slot = tvb(2, 1):uint()
    local result = tvb(3, 1):uint()
    root:add(f.kind, tvb(1, 1))
    root:add(f.duration, tvb(8, 4))
    if kind == 3 then
        root:add(f.wait_ms, tvb(4, 4))
        pinfo.cols.src = "panel"
        pinfo.cols.dst = "link"
        pinfo.cols.info = string.format("Wait %d ms (took %d us)", tvb(4, 4):uint(),
            tvb(8, 4):uint())
        return
    end
    root:add(f.unit, tvb(2, 1))
    local result_item = root:add(f.result, tvb(3, 1))
    local spins = tvb(4, 4):uint()
    root:add(f.spins, tvb(4, 4))
    local request_length = tvb(12, 2):uint()
    local answer_length = tvb(14, 2):uint()
    root:add(f.request_length, tvb(12, 2))
    root:add(f.answer_length, tvb(14, 2))
    if request_length < 1 or 16 + request_length + answer_length > tvb:len() then
        root:add_proto_expert_info(e.bad_packet)
        return
    end
    local req = tvb(16, request_length)
    local code, name
    if req(0, 1):uint() == 0x08 then
        code, name = dissect_long_request(root, req, kind)
    else
        code, name = dissect_short_request(root, req)
    end
    local answer_text = ""
    if answer_length > 0 then
        local ans = tvb(16 + request_length, answer_length)
        if req(0, 1):uint() == 0x08 then
            answer_text = dissect_long_answer(root, ans, result)
        else
            answer_text = dissect_short_answer(root, ans, code)
        end
    elseif kind == 2 then
        answer_text = result == 5 and "not sent" or "no answer read"
    end
    if result == 1 then result_item:add_proto_expert_info(e.no_answer) end
    if result == 5 then result_item:add_proto_expert_info(e.busy) end

    local who = unit_name(slot)
    pinfo.cols.src = "panel"
    pinfo.cols.dst = who
    local info = string.format("%s %s (%d)", who, name or "?", code or 0)
    if answer_text ~= "" then info = info .. " -> " .. answer_text end
    info = info .. string.format(" [result %d %s, %d status reads]", result,
        results[result] or "unknown", spins)
    pinfo.cols.info = info
    root:append_text(string.format(", %s, %s, result %d", who, name or "?", result))
end

DissectorTable.get("wtap_encap"):add(wtap_encaps.USER0, kv4)
