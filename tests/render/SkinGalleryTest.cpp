// The skin gallery: every image of the built skin loaded through a window's
// cache, each state cell drawn apart over the window background and written to
// gallery/skin-gallery.png beside the program folder for review. A cell that draws
// nothing at all is a broken state.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ImgResInfo.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"
#include "RenderFixture.h"
#include "platform/draw/Dc.h"
#include "platform/draw/Graphics.h"

namespace fs = std::filesystem;
using namespace TesselUI;
using namespace render_test;

namespace {

struct Entry {
    std::string name;
    int cells;
};

class SkinGalleryTest : public RenderTest {};

bool AnyInk(const D::Image& img, const D::Rect& r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (D::AlphaOfArgb(img.GetPixel(x, y)) > 0) return true;
    return false;
}

}  // namespace

TEST_F(SkinGalleryTest, EveryStateOfEveryImageDraws) {
    const fs::path runtime(KEYLOFT_RUNTIME_DIR);
    std::ifstream manifest(runtime.parent_path() / "skin-manifest.txt");
    ASSERT_TRUE(manifest);
    std::vector<Entry> entries;
    for (std::string line; std::getline(manifest, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream f(line);
        Entry e;
        f >> e.name >> e.cells;
        if (e.name.size() > 4 && e.name.substr(e.name.size() - 4) == ".ico") continue;  // the tray's, not a skin strip
        entries.push_back(e);
    }
    ASSERT_FALSE(entries.empty());

    const CString previous = Manager::GetProgramDir();
    Manager::SetProgramDir(runtime.wstring());
    LoosePaintManager pm;

    // Lay the cells out in rows on a 1600-pixel sheet; big pictures are shrunk.
    struct Placed {
        ImgResInfo* info;
        int cell, frame;
        D::Rect dest;
    };
    std::vector<Placed> placed;
    int x = 10, y = 10, rowH = 0;
    for (const Entry& e : entries) {
        const std::wstring name(e.name.begin(), e.name.end());
        ImgResInfo* info = pm.AddImgResInfo(name.c_str(), e.cells);
        ASSERT_NE(info, nullptr) << e.name;
        const int frames = info->GetImage()->FrameCount();
        const int parts = frames > 1 ? frames : info->GetCount();
        const int cw = frames > 1 ? info->GetImage()->Width() : info->GetCellWidth();
        const int ch = info->GetHeight();
        const double scale = (cw > 600 || ch > 300) ? 0.25 : 1.0;
        const int w = int(cw * scale), h = int(ch * scale);
        for (int i = 0; i < parts; ++i) {
            if (x + w > 1590) {
                x = 10;
                y += rowH + 12;
                rowH = 0;
            }
            placed.push_back({info, frames > 1 ? 0 : i, frames > 1 ? i : 0, D::Rect::FromXYWH(x, y, w, h)});
            x += w + 6;
            rowH = std::max(rowH, h);
        }
        x += 14;
    }
    D::Image sheet(1600, y + rowH + 10);
    std::unique_ptr<Gdiplus::Image> background(MRender::LoadImageFromFile(MRender::SkinPath(L"main_bkg.png")));
    ASSERT_TRUE(background);
    {
        D::Graphics g(sheet);
        g.DrawImage(*background, D::RectF(0, 0, float(sheet.Width()), float(sheet.Height())));
    }
    // Each cell goes onto a transparent tile first, so an empty state shows as such.
    for (const Placed& p : placed) {
        Gdiplus::Image* img = p.info->GetImage();
        img->SelectActiveFrame(p.frame);
        const bool animated = img->FrameCount() > 1;
        const int cw = animated ? img->Width() : p.info->GetCellWidth();
        D::Image tile(cw, p.info->GetHeight());
        {
            D::Graphics g(tile);
            MRender::DrawSkinCell(g, img, cw, p.info->GetHeight(), p.cell, CRect(0, 0, cw, p.info->GetHeight()), -1);
        }
        EXPECT_TRUE(AnyInk(tile, D::Rect(0, 0, tile.Width(), tile.Height())))
            << std::string(p.info->GetName().begin(), p.info->GetName().end()) << " cell " << p.cell << " frame "
            << p.frame << " is empty";
        D::Graphics g(sheet);
        g.DrawImage(tile, D::RectF(p.dest), D::RectF(0, 0, float(cw), float(p.info->GetHeight())));
        g.DrawRectangle(D::Pen(0x40FFFFFF), D::RectF(float(p.dest.left) - 1, float(p.dest.top) - 1,
                                                     float(p.dest.Width()) + 1, float(p.dest.Height()) + 1));
        img->SelectActiveFrame(0);
    }
    fs::create_directories(runtime.parent_path() / "gallery");
    EXPECT_TRUE(sheet.SavePng((runtime.parent_path() / "gallery" / "skin-gallery.png").wstring()));
    Manager::SetProgramDir(previous);
}
