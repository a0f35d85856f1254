// What the lighting code needs of the lighting page's keyboard view: the key
// colours it shows and a redraw. The window's keyboard view implements it;
// tests use a fake. Which thread calls it is the caller's business: the worker
// calls it for the screen frame (the view's item list has its own lock).
#pragma once

#include <cstdint>
#include <vector>

namespace keyloft {

class LightingView {
public:
    struct KeyItem {
        int keyValue = 0;         // key code
        std::uint32_t colour = 0;  // COLORREF 0x00BBGGRR, 0 = unlit
    };

    virtual ~LightingView() = default;
    virtual void SetKeyColor(int keyCode, std::uint32_t colour) = 0;
    // Every key of the view, in item order.
    virtual std::vector<KeyItem> GetKeyItems() = 0;
    // Redraws the view (the keyboard view's UpdateControl(1, 0)).
    virtual void UpdateControl() = 0;
};

}  // namespace keyloft
