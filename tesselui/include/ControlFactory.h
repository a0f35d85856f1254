// Making controls from their class names.
//
// The table of class names is fixed: its order, which of the two factories
// (window or panel) may make each class, and which arguments each constructor
// takes. A class joins by registering how it is constructed; until then its name
// makes nothing, exactly like a name the table does not know. Registration is
// meant for static initialisers of the library (TESSELUI_REGISTER_CONTROL) and is
// safe from any thread; creation answers null for an empty or unknown name.
#pragma once

#include <functional>

#include "MControl.h"

namespace TesselUI {

class ControlFactory {
public:
    enum Which { Window, Panel };

    // The constructor arguments after (parent, id, rect), already arranged as the
    // table says: `title` only for classes that take one, `a` the first int
    // (visible), `b` the second (enabled, or the table's constant 1).
    struct Args {
        MObject* parent;
        UINT id;
        CRect rect;
        const wchar_t* title;
        int a;
        int b;
    };
    using Maker = std::function<MControl*(const Args&)>;

    // False for a name that is not in the table.
    static bool Register(const wchar_t* className, Maker maker);
    static MControl* Create(Which which, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* title, int a, int b);
    // Whether the table lets `which` make the class (whether or not it is registered).
    static bool Allows(Which which, const wchar_t* className);
};

}  // namespace TesselUI

#define TESSELUI_CONCAT2(a, b) a##b
#define TESSELUI_CONCAT(a, b) TESSELUI_CONCAT2(a, b)
// TESSELUI_REGISTER_CONTROL(L"MButton", [](const ControlFactory::Args& g) { return new MButton(...); });
#define TESSELUI_REGISTER_CONTROL(name, maker)                                                   \
    static const bool TESSELUI_CONCAT(tesselui_registered_, __LINE__) =                         \
        ::TesselUI::ControlFactory::Register(name, maker)
