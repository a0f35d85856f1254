// The built skin folder against the code that loads from it: every skin file name
// written in the program's sources exists, and where the call gives a cell count
// the image's width divides by it. The generator's manifest is checked the same way.
#include <filesystem>
#include <fstream>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "RenderFixture.h"

namespace fs = std::filesystem;
using namespace render_test;

namespace {

struct SkinName {
    std::string name;  // as written, escapes resolved
    int cells;         // 0 when the call gives none
    std::string where;
};

// Skin names in string literals ("x.png", L"icon\\x.png"), with the cell count
// when the literal is followed by ", <number>)" as in SetImage(name, count).
std::vector<SkinName> ExtractSkinNames(const std::string& text, const std::string& where) {
    std::vector<SkinName> out;
    auto endsWith = [](const std::string& v, const char* suffix) {
        const std::string sfx(suffix);
        return v.size() >= sfx.size() && v.compare(v.size() - sfx.size(), sfx.size(), sfx) == 0;
    };
    size_t i = 0;
    while ((i = text.find('"', i)) != std::string::npos) {
        // One literal, escapes resolved; a literal never spans lines here.
        std::string name;
        size_t j = i + 1;
        for (; j < text.size() && text[j] != '"' && text[j] != '\n'; ++j) {
            if (text[j] == '\\' && j + 1 < text.size()) ++j;
            name.push_back(text[j]);
        }
        if (j >= text.size() || text[j] != '"') break;
        i = j + 1;
        if (!endsWith(name, ".png") && !endsWith(name, ".gif") && !endsWith(name, ".ico")) continue;
        // ", <count>)" right after the literal gives the cell count.
        int cells = 0;
        size_t k = i;
        auto skipSpaces = [&] { while (k < text.size() && (text[k] == ' ' || text[k] == '\t')) ++k; };
        skipSpaces();
        if (k < text.size() && text[k] == ',') {
            ++k;
            skipSpaces();
            size_t digits = k;
            while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
            const size_t end = k;
            skipSpaces();
            if (end > digits && k < text.size() && text[k] == ')') cells = std::stoi(text.substr(digits, end - digits));
        }
        out.push_back({name, cells, where});
    }
    return out;
}

// The file a skin name names: "\" and "//" read as one "/".
fs::path SkinFile(const std::string& name) {
    std::string n;
    for (char c : name) {
        if (c == '\\') c = '/';
        if (c == '/' && !n.empty() && n.back() == '/') continue;
        n.push_back(c);
    }
    return fs::path(KEYLOFT_RUNTIME_DIR) / "skins" / "theme1" / n;
}

class SkinFilesTest : public RenderTest {};

void CheckName(const SkinName& s) {
    const fs::path file = SkinFile(s.name);
    ASSERT_TRUE(fs::exists(file)) << s.name << " (" << s.where << ") is not in the skin folder";
    auto img = D::Image::FromFile(file.wstring());
    ASSERT_TRUE(img) << s.name << " does not decode";
    if (s.cells > 0) {
        EXPECT_EQ(img->Width() % s.cells, 0) << s.name << " with " << s.cells << " cells (" << s.where << ")";
    }
}

}  // namespace

TEST_F(SkinFilesTest, TheExtractorReadsLiteralsAndCounts) {
    const auto names = ExtractSkinNames(
        R"(SetImage(L"btn_apply.png", 4); load("icon\\tab_home.png"); x = "logo\\\\logo.png";)"
        R"( SetImage(L"icon//icon_circle.png",2);)", "sample");
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0].name, "btn_apply.png");
    EXPECT_EQ(names[0].cells, 4);
    EXPECT_EQ(names[1].name, "icon\\tab_home.png");
    EXPECT_EQ(names[1].cells, 0);
    EXPECT_EQ(names[2].name, "logo\\\\logo.png");
    EXPECT_EQ(SkinFile(names[2].name).filename(), "logo.png");
    EXPECT_EQ(SkinFile(names[1].name).parent_path().filename(), "icon");
    EXPECT_EQ(names[3].cells, 2);
}

TEST_F(SkinFilesTest, EveryNameInTheProgramsCodeIsInTheSkin) {
    const fs::path root(KEYLOFT_SOURCE_DIR);
    // The program and the toolkit; the skin generator itself is left out, since a
    // name it writes would trivially exist.
    for (const char* folder : {"app", "tesselui", "config", "keys", "lighting", "device", "update"}) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            std::ifstream in(entry.path());
            std::stringstream text;
            text << in.rdbuf();
            for (const SkinName& s : ExtractSkinNames(text.str(), fs::relative(entry.path(), root).string())) {
                if (s.name.find('%') != std::string::npos || s.name.front() == '/') continue;  // formats, full paths
                CheckName(s);
            }
        }
    }
}

TEST_F(SkinFilesTest, EveryGeneratedImageHasWholeCells) {
    std::ifstream manifest(fs::path(KEYLOFT_RUNTIME_DIR).parent_path() / "skin-manifest.txt");
    ASSERT_TRUE(manifest) << "the skin generator writes skin-manifest.txt beside the program folder";
    std::string line;
    bool any = false;
    while (std::getline(manifest, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        SkinName s;
        int w = 0, h = 0;
        fields >> s.name >> s.cells >> w >> h;
        s.where = "manifest";
        any = true;
        CheckName(s);
    }
    EXPECT_TRUE(any);
}

namespace {

// The value of attribute `name` in an XML start tag (no entity decoding needed here).
std::string Attribute(const std::string& tag, const std::string& name) {
    const std::string key = " " + name + "=\"";
    const size_t at = tag.find(key);
    if (at == std::string::npos) return {};
    const size_t start = at + key.size();
    return tag.substr(start, tag.find('"', start) - start);
}

}  // namespace

TEST_F(SkinFilesTest, EveryLayoutHasItsKeyboardPictureWithEveryKeyOnIt) {
    const fs::path layouts = fs::path(KEYLOFT_SOURCE_DIR) / "data" / "layouts";
    ASSERT_TRUE(fs::exists(layouts));
    bool any = false;
    for (const auto& entry : fs::directory_iterator(layouts)) {
        if (entry.path().extension() != ".xml") continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string xml = text.str();
        const size_t kb = xml.find("<Keyboard ");
        if (kb == std::string::npos) continue;
        any = true;
        const std::string tag = xml.substr(kb, xml.find('>', kb) - kb);
        const std::string image = Attribute(tag, "image");
        const int width = std::stoi(Attribute(tag, "width")), height = std::stoi(Attribute(tag, "height"));
        const std::string where = entry.path().filename().string();
        // The views load "keyboard\<image>" from the skin folder; the program folder has a copy.
        for (const fs::path& file : {SkinFile("keyboard\\" + image), fs::path(KEYLOFT_RUNTIME_DIR) / "keyboard" / image}) {
            auto picture = D::Image::FromFile(file.wstring());
            ASSERT_TRUE(picture) << file << " for " << where;
            EXPECT_EQ(picture->Width(), width) << where;
            EXPECT_EQ(picture->Height(), height) << where;
            for (size_t at = xml.find("<key ", kb); at != std::string::npos; at = xml.find("<key ", at + 1)) {
                const std::string key = xml.substr(at, xml.find('>', at) - at);
                int x = 0, y = 0, w = 0, h = 0;
                ASSERT_EQ(std::sscanf(Attribute(key, "rect").c_str(), "%d,%d,%d,%d", &x, &y, &w, &h), 4) << key;
                EXPECT_TRUE(x >= 0 && y >= 0 && x + w <= width && y + h <= height) << where << ": " << key;
                // The key cap is drawn where the key is: its centre is not the bare case.
                const D::Argb centre = picture->GetPixel(x + w / 2, y + h / 2);
                const D::Argb caseColour = picture->GetPixel(4, y + h / 2);  // bare case, same row
                EXPECT_NE(centre, caseColour) << where << ": no cap under " << Attribute(key, "name");
            }
        }
    }
    EXPECT_TRUE(any) << "no layout carries a keyboard picture record";
}
