// Manager: the process-wide settings of the toolkit (application module, global
// font, device name, selection colour, program and skin folders) and the
// application's message loop.
//
// The statics are set once at start-up on the UI thread and read from anywhere.
#pragma once

#include <mutex>
#include <set>

#include "TesselTypes.h"

namespace TesselUI {

class MWindow;

class Manager {
public:
    static void SetInstance(HINSTANCE instance) { m_hInstance = instance; }
    static HINSTANCE GetInstance() { return m_hInstance; }
    static void SetFont(const CString& name, int size) { m_fontname = name; m_fontwidth = size; }
    static void SetFontName(const CString& name) { m_fontname = name; }
    static const CString& GetFontName() { return m_fontname; }
    static int GetFontWidth() { return m_fontwidth; }
    static void SetDeviceName(const CString& name) { m_dev_name = name; }
    static const CString& GetDeviceName() { return m_dev_name; }
    static Gdiplus::Color GetSelectColor() { return m_select_color; }
    // The skin sub-folder, with its trailing separator.
    static CString GetTheme() { return L"theme1/"; }
    // The folder of the running program with a trailing '/'. Tests point it at the
    // laid-out data with SetProgramDir.
    static CString GetProgramDir();
    static void SetProgramDir(const CString& dir);
    // Program folder + "skins/" + theme.
    static CString GetSkinDir() { return GetProgramDir() + L"skins/" + GetTheme(); }

    // Starts the drawing layer (the Qt application) for the calling thread; the
    // graphics, COM and OLE start-up of the original have no counterpart here.
    static BOOL InitGdiplus();
    static void UnInitGdiplus() {}

    // A plain message loop until WM_QUIT; a message is dropped untranslated and
    // undispatched while Alt and F4 are both down. Answers the quit code.
    static int MessageLoop();
    // 1 while Alt and F4 are both down, else 0.
    static BOOL PreTranslateMessage(MSG* msg);
    static void AddWnd(MWindow* wnd);
    static void DeleteWnd(MWindow* wnd);
    static bool HasWnd(MWindow* wnd);

    static HINSTANCE m_hInstance;
    static CString m_fontname;
    static int m_fontwidth;
    static CString m_dev_name;
    static Gdiplus::Color m_select_color;
    static UINT m_uControlID;

private:
    static std::mutex& WndLock();
    static std::set<MWindow*>& Wnds();
};

}  // namespace TesselUI
