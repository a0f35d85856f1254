#include "keys/KeyAssign.h"

#include "device/CommandPacket.h"
#include "device/DeviceCommands.h"
#include "keys/KeyUpload.h"
#include "store/ProfileStore.h"

namespace keyloft {
namespace {

KeyFunction FunctionOf(const KeyAssignment& a) {
    return {a.layout_value, a.layout_desc, a.macro_type, a.macro_value, a.macro_value2, a.macro_value3,
            a.macro_desc};
}

AssignContext ContextFor(ProfileStore& store, const KeyState& state) {
    AssignContext c;
    c.layer = state.layer;
    c.key = state.selectedKey;
    c.fnLayerDisabled = state.fnLayerDisabled;
    std::vector<KeyAssignment> rows;
    store.LoadKeyAssignments(state.profile, state.layer, rows);
    for (const auto& r : rows) {
        if (IsRemapKind(r.macro_type)) ++c.remapRowsOnLayer;
        if (IsLongKind(r.macro_type)) ++c.longRowsOnLayer;
    }
    return c;
}

bool Refuse(ProfileStore& store, KeyState& state, KeyPageHost& host, AssignSource source) {
    KeyRefusal refusal;
    if (!CheckAssignment(source, ContextFor(store, state), refusal)) return false;
    if (refusal.clearsSelection) {
        state.selectedKey = 0;
        host.ClearKeySelection();
    }
    host.MessageBox(refusal.titleText, refusal.messageText);
    return true;
}

}  // namespace

bool ApplyKeyFunction(ProfileStore& store, KeyState& state, KeyPageHost& host, AssignSource source,
                      const KeyFunction& function) {
    if (state.selectedKey < 1) return false;
    if (Refuse(store, state, host, source)) return false;
    KeyAssignment row;
    row.profile = state.profile;
    row.fn_layer = state.layer;
    row.key_code = state.selectedKey;
    row.layout_value = function.layout_value;
    row.layout_desc = function.layout_desc;
    row.macro_type = function.macro_type;
    row.macro_value = function.macro_value;
    row.macro_value2 = function.macro_value2;
    row.macro_value3 = function.macro_value3;
    row.macro_desc = function.macro_desc;
    const int id = store.SaveKeyAssignment(row);
    host.ShowKeyFunction(state.selectedKey, id < 1 ? nullptr : &function);
    QueueSingleKeyUpload(state, host);
    return true;
}

bool MayOpenCustomKeyDialog(ProfileStore& store, KeyState& state, KeyPageHost& host,
                            AssignSource source) {
    if (state.selectedKey < 1) return false;
    return !Refuse(store, state, host, source);
}

void QueueSingleKeyUpload(KeyState& state, KeyPageHost& host) {
    state.singleKey = true;
    host.QueueDeviceTask(kTaskUploadKeys);
}

void SelectLayer(ProfileStore& store, KeyState& state, KeyPageHost& host, int layer) {
    if (layer != kFnLayerNormal && layer != kFnLayerFn) return;
    state.layer = layer;
    store.SetConfigValue(L"fn_layer", layer ? L"1" : L"0");
    host.ReloadProfile();
}

void SetFnSwitch(HidDeviceManager& hid, ProfileStore& store, const KeyState& state, int value) {
    if (value != 0 && value != 1) return;
    SendFnSwitch(hid, FramingForSelector(state.selector), value);
    store.SetConfigValue(L"fn_switch", value ? L"1" : L"0");
}

bool ResetAllKeys(ProfileStore& store, KeyState& state, KeyPageHost& host) {
    if (host.MessageBox(166, 165) == 2) return false;
    store.DeleteProfileKeyAssignments(state.profile);
    host.ReloadProfile();
    state.singleKey = false;
    host.QueueDeviceTask(kTaskUploadKeys);
    return true;
}

std::vector<KeyTip> KeyAssignmentTips(ProfileStore& store, int profile, int layer, int uiLanguage,
                                      const TextLookup& text) {
    std::vector<KeyAssignment> rows;
    store.LoadKeyAssignments(profile, layer, rows);
    std::vector<KeyTip> tips;
    tips.reserve(rows.size());
    for (const auto& r : rows) {
        const KeyFunction f = FunctionOf(r);
        const int caption = TipCaptionText(f.macro_type);
        tips.push_back({r.key_code, caption, caption ? KeyDisplayLabel(f, uiLanguage, text) : std::wstring()});
    }
    return tips;
}

}  // namespace keyloft
