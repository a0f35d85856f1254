// Fonts of the drawing layer: font families, fonts of a family at a pixel size and
// style, and private fonts loaded from files or memory for this process only.
//
// A FontFamily is a name that the font system can resolve; `FontFamily::Installed`
// answers an invalid family when nothing of that name is installed or privately
// loaded. Private fonts are process-wide (any window can use them once loaded) and
// stay until RemovePrivateFont. Fonts need the Qt application object
// (EnsureQtApplication) and are used on the thread that draws.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform::draw {

// Style bits as GDI+ numbers them.
enum FontStyle : int {
    kFontRegular = 0,
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeout = 8,
};

class FontFamily {
public:
    FontFamily() = default;  // invalid
    // The family of that exact name, installed or private; invalid when there is none.
    static FontFamily Installed(const std::wstring& name);
    // The family the font system falls back to for text in any script.
    static FontFamily Default();

    bool IsValid() const { return !name_.empty(); }
    const std::wstring& Name() const { return name_; }
    friend bool operator==(const FontFamily&, const FontFamily&) = default;

private:
    explicit FontFamily(std::wstring name) : name_(std::move(name)) {}
    std::wstring name_;
};

class Font {
public:
    // `sizePx` is the em size in pixels; an invalid family uses the default family.
    Font(const FontFamily& family, float sizePx, int style = kFontRegular);
    // By family name; a name that is not available falls back to the default family.
    Font(const std::wstring& familyName, float sizePx, int style = kFontRegular);

    const FontFamily& Family() const { return family_; }
    float SizePx() const { return sizePx_; }
    int Style() const { return style_; }
    // Line spacing in pixels (ascent + descent + leading), fractional.
    float GetHeight() const;
    float Ascent() const;

private:
    FontFamily family_;
    float sizePx_;
    int style_;
};

// Loads a font file (TrueType / OpenType) for this process. Answers a handle (>= 0)
// and the family names it added, or -1 when the file cannot be read or holds no font.
int AddPrivateFontFile(const std::wstring& path, std::vector<std::wstring>* families);
// The same from font bytes in memory (a resource).
int AddPrivateFontData(const void* data, std::size_t size, std::vector<std::wstring>* families);
// Unloads a private font; false for an unknown handle.
bool RemovePrivateFont(int handle);

}  // namespace platform::draw
