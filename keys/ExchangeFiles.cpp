#include "keys/ExchangeFiles.h"

#include "config/XmlDocument.h"
#include "keys/KeyFunction.h"
#include "store/ProfileStore.h"

#include <climits>
#include <system_error>

namespace keyloft {
namespace {

constexpr wchar_t kDeclaration[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// ---- writing ----

void SetNumber(XmlDocument& doc, std::wstring_view name, int value) {
    doc.SetAttribute(name, std::to_wstring(value));
}

void AddSteps(XmlDocument& doc, const std::vector<MacroStep>& steps) {
    for (const MacroStep& s : steps) {
        doc.AddElement(L"item");
        doc.SetAttribute(L"desc", s.desc);
        SetNumber(doc, L"type", s.type);
        SetNumber(doc, L"value", s.value);
        SetNumber(doc, L"delay_time", s.delay_time);
    }
}

// Writes beside the target first so that a failed write leaves no file and
// does not destroy an older one.
bool SaveAtomically(XmlDocument& doc, const std::filesystem::path& path) {
    std::filesystem::path temp = path;
    temp += ".part";
    std::error_code ec;
    if (!doc.SaveFile(temp)) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

// ---- reading ----

// Reads the attributes of one file and remembers whether any of them was bad.
class FieldReader {
public:
    explicit FieldReader(XmlDocument& doc) : doc_(doc) {}

    // "Leading decimal digits, 0 when missing", with an optional minus sign as
    // the writer produces. A number that does not fit 32 bits makes the file bad.
    int Number(std::wstring_view name, long long min = INT_MIN, long long max = INT_MAX) {
        const std::wstring text = doc_.GetAttribute(name);
        std::size_t i = 0;
        bool negative = false;
        if (i < text.size() && text[i] == L'-') {
            negative = true;
            ++i;
        }
        long long v = 0;
        for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
            v = v * 10 + (text[i] - L'0');
            if (v > static_cast<long long>(INT_MAX) + 1) {
                ok_ = false;
                return 0;
            }
        }
        if (negative) v = -v;
        if (v < INT_MIN || v > INT_MAX || v < min || v > max) {
            ok_ = false;
            return 0;
        }
        return static_cast<int>(v);
    }

    std::wstring Text(std::wstring_view name) {
        std::wstring t = doc_.GetAttribute(name);
        if (t.size() > kMaxExchangeTextLength) {
            ok_ = false;
            return {};
        }
        return t;
    }

    bool ok() const { return ok_; }

private:
    XmlDocument& doc_;
    bool ok_ = true;
};

struct FileMacro {
    MacroRecord record;  // macro_id = the id in the file
    std::vector<MacroStep> steps;
};

struct ProfileFile {
    std::vector<KeyAssignment> keys;
    std::vector<FileMacro> macros;
};

// Reads the `item` children of the current level (the cursor is inside
// `macroitems`).
void ReadSteps(XmlDocument& doc, FieldReader& f, std::vector<MacroStep>& steps) {
    while (doc.FindElement(L"item")) {
        MacroStep s;
        s.desc = f.Text(L"desc");
        s.type = f.Number(L"type", 0);
        s.value = f.Number(L"value", 0);
        s.delay_time = f.Number(L"delay_time", 0);
        s.record_index = static_cast<int>(steps.size());
        steps.push_back(std::move(s));
    }
}

bool LoadChecked(XmlDocument& doc, const std::filesystem::path& path, ImportResult& result) {
    std::error_code ec;
    result.fileExists = std::filesystem::is_regular_file(path, ec);
    if (!result.fileExists) return false;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxExchangeFileBytes) return false;
    return doc.LoadFile(path) && doc.IsWellFormed();
}

bool ReadProfileFile(const std::filesystem::path& path, ProfileFile& file, ImportResult& result) {
    XmlDocument doc;
    if (!LoadChecked(doc, path, result)) return false;
    if (!doc.FindElement(L"profile") || !doc.EnterElement()) return false;
    FieldReader f(doc);
    if (doc.FindElement(L"keyitems") && doc.EnterElement()) {
        while (doc.FindElement(L"item")) {
            KeyAssignment k;
            k.fn_layer = f.Number(L"fn_layer", 0, 1);
            k.key_code = f.Number(L"key_code", 0, 255);
            k.layout_value = f.Number(L"layout_value");
            k.layout_desc = f.Text(L"layout_desc");
            k.macro_type = f.Number(L"macro_type", 0);
            k.macro_value = f.Number(L"macro_value", 0);
            k.macro_value2 = f.Number(L"macro_value2");
            k.macro_value3 = f.Number(L"macro_value3");
            k.macro_desc = f.Text(L"macro_desc");
            file.keys.push_back(std::move(k));
        }
        doc.LeaveElement();
    }
    doc.ResetPosition();
    doc.FindElement(L"profile");
    doc.EnterElement();
    while (doc.FindElement(L"macroinfo")) {
        FileMacro m;
        m.record.name = f.Text(L"name");
        m.record.macro_id = f.Number(L"macro_id");
        m.record.play_times = f.Number(L"times", 0);
        m.record.delay_type = f.Number(L"type", 0);
        m.record.delay_time = f.Number(L"delaytime", 0);
        if (doc.EnterElement()) {
            if (doc.FindElement(L"macroitems") && doc.EnterElement()) {
                ReadSteps(doc, f, m.steps);
                doc.LeaveElement();
            }
            doc.LeaveElement();
        }
        file.macros.push_back(std::move(m));
    }
    return f.ok();
}

void StoreSteps(ProfileStore& store, int macroId, std::vector<MacroStep> steps) {
    for (MacroStep& s : steps) {
        s.record_id = 0;
        s.macro_id = macroId;
        store.AddMacroStep(s);
    }
}

}  // namespace

bool ExportProfile(ProfileStore& store, int profileId, const std::wstring& profileName,
                   const std::filesystem::path& path) {
    if (profileId < 1) return false;
    XmlDocument doc;
    doc.SetText(kDeclaration);
    doc.AddElement(L"profile");
    doc.EnterElement();
    doc.AddElement(L"profileinfo");
    doc.SetAttribute(L"name", profileName);
    doc.AddElement(L"keyitems");
    doc.EnterElement();
    std::vector<KeyAssignment> keys;
    store.LoadProfileKeyAssignments(profileId, keys);
    std::vector<int> macroIds;
    for (const KeyAssignment& k : keys) {
        doc.AddElement(L"item");
        SetNumber(doc, L"fn_layer", k.fn_layer);
        SetNumber(doc, L"key_code", k.key_code);
        SetNumber(doc, L"layout_value", k.layout_value);
        doc.SetAttribute(L"layout_desc", k.layout_desc);
        SetNumber(doc, L"macro_type", k.macro_type);
        SetNumber(doc, L"macro_value", k.macro_value);
        SetNumber(doc, L"macro_value2", k.macro_value2);
        SetNumber(doc, L"macro_value3", k.macro_value3);
        doc.SetAttribute(L"macro_desc", k.macro_desc);
        if (k.macro_type == kKindMacro) macroIds.push_back(k.macro_value);
    }
    doc.LeaveElement();
    for (int id : macroIds) {
        MacroRecord m;
        store.GetMacro(id, m);
        doc.AddElement(L"macroinfo");
        doc.SetAttribute(L"name", m.name);
        SetNumber(doc, L"macro_id", id);
        SetNumber(doc, L"times", m.play_times);
        SetNumber(doc, L"type", m.delay_type);
        SetNumber(doc, L"delaytime", m.delay_time);
        doc.EnterElement();
        doc.AddElement(L"macroitems");
        doc.EnterElement();
        std::vector<MacroStep> steps;
        store.LoadMacroSteps(id, steps);
        AddSteps(doc, steps);
        doc.LeaveElement();
        doc.LeaveElement();
    }
    return SaveAtomically(doc, path);
}

bool ExportMacro(ProfileStore& store, int macroId, const std::filesystem::path& path) {
    MacroRecord m;
    if (macroId < 1 || !store.GetMacro(macroId, m)) return false;
    XmlDocument doc;
    doc.SetText(kDeclaration);
    doc.AddElement(L"macro");
    doc.EnterElement();
    doc.AddElement(L"macroinfo");
    doc.SetAttribute(L"name", m.name);
    SetNumber(doc, L"times", m.play_times);
    SetNumber(doc, L"type", m.delay_type);
    SetNumber(doc, L"delaytime", m.delay_time);
    doc.AddElement(L"macroitems");
    doc.EnterElement();
    std::vector<MacroStep> steps;
    store.LoadMacroSteps(macroId, steps);
    AddSteps(doc, steps);
    doc.LeaveElement();
    return SaveAtomically(doc, path);
}

std::wstring NameFromFileTitle(const std::filesystem::path& path) {
    const std::wstring title = path.filename().wstring();
    const auto dot = title.find(L'.');
    if (dot == std::wstring::npos) return {};
    return title.substr(0, dot);
}

ImportResult ImportProfile(ProfileStore& store, const std::filesystem::path& path) {
    ImportResult result;
    ProfileFile file;
    if (!ReadProfileFile(path, file, result)) return result;
    result.accepted = true;

    std::vector<MacroRecord> existing;
    store.LoadMacros(existing);
    // file id -> id here; a later copy of the same file id wins.
    std::vector<std::pair<int, int>> idMap;
    for (FileMacro& m : file.macros) {
        bool same = false;
        for (const MacroRecord& e : existing)
            same = same || (e.name == m.record.name && e.macro_id == m.record.macro_id);
        if (same) {
            idMap.emplace_back(m.record.macro_id, m.record.macro_id);
            continue;
        }
        MacroRecord fresh = m.record;
        fresh.macro_id = 0;
        fresh.link_count = 0;
        const int id = store.AddMacroWithSettings(fresh);
        result.newMacros.emplace_back(fresh.name, id);
        if (id > 0) {
            idMap.emplace_back(m.record.macro_id, id);
            StoreSteps(store, id, std::move(m.steps));
        }
    }

    result.profileName = NameFromFileTitle(path);
    ProfileRecord profile;
    profile.name = result.profileName;
    result.profileId = store.AddProfile(profile);
    if (result.profileId < 1) return result;
    for (KeyAssignment& k : file.keys) {
        k.key_id = 0;
        k.profile = result.profileId;
        if (k.macro_type == kKindMacro) {
            // A key may only play a macro the file brought along (or its
            // identical twin here); an id without one would name whatever
            // unrelated macro happens to have that id in this store.
            int mapped = 0;
            for (const auto& [from, to] : idMap)
                if (from == k.macro_value) mapped = to;
            if (mapped == 0) continue;
            k.macro_value = mapped;
        }
        store.SaveKeyAssignment(k);
    }
    return result;
}

ImportResult ImportMacro(ProfileStore& store, const std::filesystem::path& path) {
    ImportResult result;
    XmlDocument doc;
    if (!LoadChecked(doc, path, result)) return result;
    if (!doc.FindElement(L"macro") || !doc.EnterElement()) return result;
    FieldReader f(doc);
    MacroRecord m;
    if (doc.FindElement(L"macroinfo")) {
        m.play_times = f.Number(L"times", 0);
        m.delay_type = f.Number(L"type", 0);
        m.delay_time = f.Number(L"delaytime", 0);
    }
    std::vector<MacroStep> steps;
    if (doc.FindElement(L"macroitems") && doc.EnterElement()) {
        ReadSteps(doc, f, steps);
        doc.LeaveElement();
    }
    if (!f.ok()) return result;
    result.accepted = true;
    m.name = NameFromFileTitle(path);
    result.macroId = store.AddMacroWithSettings(m);
    result.newMacros.emplace_back(m.name, result.macroId);
    if (result.macroId > 0) StoreSteps(store, result.macroId, std::move(steps));
    return result;
}

}  // namespace keyloft
