// A DeviceDescriptionHost that records what the loading did to the window.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "config/DeviceDescriptionHost.h"

namespace keyloft::testing {

class FakeDeviceHost : public DeviceDescriptionHost {
public:
    struct Picture {
        KeyRect place;
        std::wstring image;
        int width = 0, height = 0;
    };

    void AddDevice(const std::wstring& name, int deviceType) override { devices.push_back({name, deviceType}); }
    void OpenModelStore(const std::wstring& modelName) override { openedStores.push_back(modelName); }
    void SetMacroEventLimit(int limit) override { macroEventLimit = limit; }
    void SetTabVisible(int position, bool visible) override { tabVisible[position] = visible; }
    void SetControlVisible(int controlId, bool visible) override { controlVisible[controlId] = visible; }
    void SetSliderMaximum(int sliderId, int maximum) override { sliderMaximum[sliderId] = maximum; }
    void ClearKeyboardView(int viewId) override {
        viewKeys[viewId].clear();
        ++viewClears[viewId];
    }
    void SetKeyboardPicture(int viewId, const KeyRect& place, const std::wstring& image, int width,
                            int height) override {
        pictures[viewId] = {place, image, width, height};
    }
    void AddKeyItem(int viewId, const LayoutKey& key) override { viewKeys[viewId].push_back(key.code); }

    std::vector<std::pair<std::wstring, int>> devices;
    std::vector<std::wstring> openedStores;
    int macroEventLimit = 80;
    std::map<int, bool> tabVisible;
    std::map<int, bool> controlVisible;
    std::map<int, int> sliderMaximum;
    std::map<int, int> viewClears;
    std::map<int, std::vector<int>> viewKeys;
    std::map<int, Picture> pictures;
};

}  // namespace keyloft::testing
