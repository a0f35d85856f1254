#include "keys/KeyLabels.h"

namespace keyloft {

int TipCaptionText(int kind) {
    switch (kind) {
        case kKindDisabled: return 202;
        case kKindKey:
        case kKindHighKey: return 205;
        case kKindMacro: return 206;
        case kKindMouseButton: return 207;
        case kKindMedia: return 208;
        case kKindShortcut: return 209;
        case kKindProgram: return 210;
        case kKindWebPage: return 211;
        case kKindText: return 212;
        default: return 0;
    }
}

std::wstring MacroDisplayName(const std::wstring& name, int lang, const TextLookup& text) {
    if ((lang == 1033 || lang == 1034 || lang == 1046) && name.starts_with(L"Macro"))
        return text(331) + name.substr(5);
    return name;
}

std::wstring KeyDisplayLabel(const KeyFunction& f, int lang, const TextLookup& text) {
    switch (f.macro_type) {
        case kKindDisabled: return {};
        case kKindMacro: return MacroDisplayName(f.macro_desc, lang, text);
        case kKindMouseButton:
            switch (f.macro_value) {
                case 1: return text(220);
                case 2: return text(222);
                case 3: return text(223);
                case 7: return text(227);
                case 8: return text(228);
                default: return f.macro_desc;
            }
        case kKindShortcut: return text(700 + f.macro_value);
        default: return f.macro_desc;
    }
}

}  // namespace keyloft
