// MObject: the root of everything that owns controls or receives their
// notifications (controls, dialogs, menus). It carries no state; the virtual
// operations are how a child reaches its owner: notifications go up through
// OnBaseMessage, redraw requests through OnControlUpdate.
//
// Thread: whoever calls; the objects themselves decide what is safe.
#pragma once

#include "TesselTypes.h"

namespace TesselUI {

class MControl;

class MObject {
public:
    virtual ~MObject() = default;
    // True when GetClassNameW answers exactly `name` (case-sensitive).
    virtual bool IsClass(const wchar_t* name);
    virtual const wchar_t* GetClassNameW() const { return nullptr; }
    virtual const wchar_t* GetObjectClass() { return nullptr; }
    virtual const wchar_t* BaseObjectClassName() { return nullptr; }
    // A child control's notification (its id, the code and two parameters).
    virtual LRESULT OnBaseMessage(UINT id, UINT code, WPARAM w, LPARAM l) { return 0; }
    // A child asks to be redrawn (`update` set: its memory image must be rebuilt).
    virtual LRESULT OnControlUpdate(CRect rect, BOOL update, MControl* control) { return 0; }
};

// The diagnostic trace hook of the toolkit; it does nothing.
void M_Trace(const wchar_t* format, ...);

}  // namespace TesselUI
