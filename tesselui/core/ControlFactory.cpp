#include "ControlFactory.h"

#include <map>
#include <mutex>
#include <string>

namespace TesselUI {
namespace {

// How the factory passes (title, a, b) to a constructor.
enum class Form {
    AB,          // a, b
    TitleA,      // title, a
    TitleAB,     // title, a, b
    A,           // a
    AOne,        // a, 1
    TitleAOne,   // title, a, 1
};

struct Row {
    const wchar_t* name;
    Form form;
    bool window;
    bool panel;
};

// In the order the factory compares names; "CArea" is tested first.
const Row kTable[] = {
    {L"CArea", Form::AB, true, true},
    {L"MText", Form::TitleA, true, true},
    {L"MPicture", Form::AB, true, true},
    {L"CPhotoFrame", Form::AB, true, true},
    {L"CSliderPicture", Form::AB, true, true},
    {L"CGifPicture", Form::AB, true, true},
    {L"MProgress", Form::AB, true, true},
    {L"MSlider", Form::AB, true, true},
    {L"MLevelCtrl", Form::AB, true, true},
    {L"MButton", Form::TitleAB, true, true},
    {L"CImageButton", Form::TitleAB, true, true},
    {L"CTextButton", Form::TitleAB, true, true},
    {L"CCheckButton", Form::TitleAB, true, true},
    {L"CRadioButton", Form::TitleAB, true, true},
    {L"CColorButton", Form::AB, true, true},
    {L"MSpinButton", Form::AB, true, true},
    {L"CSpinButton", Form::AB, true, true},
    {L"CSwitchButton", Form::AB, true, true},
    {L"CIconButton", Form::TitleAB, true, true},
    {L"CTimerButton", Form::TitleAB, true, true},
    {L"CHelpButton", Form::TitleAB, true, true},
    {L"MEdit", Form::TitleAB, true, true},
    {L"MRichEdit", Form::TitleAB, true, true},
    {L"MEditEx", Form::TitleAB, true, true},
    {L"MComboBox", Form::AB, true, true},
    {L"MTabCtrl", Form::AB, true, true},
    {L"MTabLayout", Form::A, true, true},
    {L"MListBox", Form::A, true, true},
    {L"MPalette", Form::A, true, true},
    {L"CColorPalette", Form::A, true, true},
    {L"CColorSelect", Form::A, true, true},
    {L"CirclePalette", Form::AOne, true, true},
    {L"CComboBoxList", Form::AOne, true, false},
    {L"MenuItem", Form::TitleAOne, true, true},
    {L"KeyboardCtrl", Form::A, true, true},
    {L"KeyFuncControl", Form::A, false, true},
    {L"DListBox", Form::A, false, true},
    {L"CRecordList", Form::A, false, true},
    {L"CDeviceCtrl", Form::AOne, true, true},
    {L"BatteryCtrl", Form::AOne, true, false},
    {L"UpgradeButton", Form::TitleAB, false, true},
    {L"DownloadButton", Form::TitleAB, false, true},
    {L"KeyLayerButton", Form::TitleAB, false, true},
};

const Row* FindRow(const wchar_t* name) {
    if (!name || !*name) return nullptr;
    const std::wstring n(name);
    for (const Row& r : kTable)
        if (n == r.name) return &r;
    return nullptr;
}

struct Registry {
    std::mutex mutex;
    std::map<std::wstring, ControlFactory::Maker> makers;
};

Registry& R() {
    static Registry* r = new Registry;
    return *r;
}

}  // namespace

bool ControlFactory::Register(const wchar_t* className, Maker maker) {
    const Row* row = FindRow(className);
    if (!row || !maker) return false;
    std::lock_guard lock(R().mutex);
    R().makers[row->name] = std::move(maker);
    return true;
}

bool ControlFactory::Allows(Which which, const wchar_t* className) {
    const Row* row = FindRow(className);
    return row && (which == Window ? row->window : row->panel);
}

MControl* ControlFactory::Create(Which which, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                 const wchar_t* title, int a, int b) {
    const Row* row = FindRow(className);
    if (!row || !(which == Window ? row->window : row->panel)) return nullptr;
    Maker maker;
    {
        std::lock_guard lock(R().mutex);
        auto it = R().makers.find(row->name);
        if (it == R().makers.end()) return nullptr;
        maker = it->second;
    }
    Args args{parent, id, rect, nullptr, a, b};
    switch (row->form) {
    case Form::AB: break;
    case Form::TitleA: args.title = title; args.b = 1; break;
    case Form::TitleAB: args.title = title; break;
    case Form::A: args.b = 1; break;
    case Form::AOne: args.b = 1; break;
    case Form::TitleAOne: args.title = title; args.b = 1; break;
    }
    return maker(args);
}

}  // namespace TesselUI
