// Shared set-up of the rendering tests: the Qt application, a skin folder of
// synthetic strips under a temporary program folder, and a parent that does what
// a window does with redraw requests (clears the requester's update flag).
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "MControl.h"
#include "MObject.h"
#include "Manager.h"
#include "PaintManager.h"
#include "platform/draw/Image.h"
#include "platform/draw/QtApplication.h"

namespace render_test {

namespace D = platform::draw;

// A program folder with skins/theme1/ and font/ below it.
class TempProgramDir {
public:
    explicit TempProgramDir(const std::string& name) {
        // Per process: ctest runs several tests of this suite at once.
        root_ = std::filesystem::path(testing::TempDir()) /
                ("render-" + name + "-" + std::to_string(static_cast<long>(::getpid())));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "skins" / "theme1");
        std::filesystem::create_directories(root_ / "font");
        previous_ = TesselUI::Manager::GetProgramDir();
        TesselUI::Manager::SetProgramDir(root_.wstring());
    }
    ~TempProgramDir() {
        TesselUI::Manager::SetProgramDir(previous_);
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    std::filesystem::path Skin(const std::string& name) const { return root_ / "skins" / "theme1" / name; }
    std::filesystem::path Root() const { return root_; }

    // A strip of `cells` cells, cell i filled with colours[i] (ARGB).
    void WriteStrip(const std::string& name, int cellW, int h, const std::vector<D::Argb>& colours) const {
        D::Image img(cellW * static_cast<int>(colours.size()), h);
        for (size_t i = 0; i < colours.size(); ++i)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < cellW; ++x) img.SetPixel(static_cast<int>(i) * cellW + x, y, colours[i]);
        Write(name, img);
    }
    void Write(const std::string& name, const D::Image& img) const {
        std::filesystem::create_directories(Skin(name).parent_path());
        ASSERT_TRUE(img.SavePng(Skin(name).wstring()));
    }

private:
    std::filesystem::path root_;
    TesselUI::CString previous_;
};

// The parent a window would be: a rebuild request clears the control's update flag.
class RebuildingParent : public TesselUI::MObject {
public:
    TesselUI::LRESULT OnControlUpdate(TesselUI::CRect, TesselUI::BOOL update, TesselUI::MControl* c) override {
        ++requests;
        if (update && c) c->SetUpdate(TesselUI::FALSE);
        return 0;
    }
    int requests = 0;
};

// A paint manager that never gets a window. A window's caches are freed by its
// DestroyData, which only runs after Init, so this one frees them itself.
class LoosePaintManager : public TesselUI::PaintManager {
public:
    ~LoosePaintManager() override {
        ClearImgResInfo();
        ClearTempFont();
    }
};

// The Qt application on the offscreen platform: these tests never need a display.
inline bool StartQt() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return platform::draw::EnsureQtApplication();
}

class RenderTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartQt()); }
};

}  // namespace render_test
