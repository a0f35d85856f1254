// Captions and labels of assigned keys in the keyboard view.
//
// Every key with a row is checked and gets a tip of two texts: a caption by kind
// (a language text number) and a label. Language texts are looked up through
// the caller's function so that this stays free of the language files. Pure.
#pragma once

#include "keys/KeyFunction.h"

#include <functional>
#include <string>

namespace keyloft {

using TextLookup = std::function<std::wstring(int textNumber)>;

// Language text number of the tip caption for a kind; 0 = no tip (kind 11 and
// unknown kinds).
int TipCaptionText(int kind);

// The display name of a macro: a stored name that starts with "Macro" gets
// those five characters replaced by text 331 in the languages 1033, 1034 and
// 1046 (names made by "New" are built from text 331, so they read naturally).
std::wstring MacroDisplayName(const std::wstring& name, int uiLanguage, const TextLookup& text);

// The label when the view is filled from the store.
std::wstring KeyDisplayLabel(const KeyFunction& f, int uiLanguage, const TextLookup& text);

}  // namespace keyloft
