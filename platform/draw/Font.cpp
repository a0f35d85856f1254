#include "platform/draw/Font.h"

#include <QByteArray>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>

#include <cmath>
#include <mutex>
#include <set>

#include "platform/draw/QtAccess.h"
#include "platform/draw/QtApplication.h"

namespace platform::draw {

FontFamily FontFamily::Installed(const std::wstring& name) {
    if (name.empty() || !EnsureQtApplication()) return FontFamily();
    const QString q = QString::fromStdWString(name);
    // Match the family name exactly as the font database spells it, so a private
    // font registered as "Liberation Sans" is found by that name only.
    for (const QString& family : QFontDatabase::families()) {
        if (family.compare(q, Qt::CaseInsensitive) == 0) return FontFamily(family.toStdWString());
    }
    return FontFamily();
}

FontFamily FontFamily::Default() {
    if (!EnsureQtApplication()) return FontFamily();
    return FontFamily(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toStdWString());
}

Font::Font(const FontFamily& family, float sizePx, int style)
    : family_(family.IsValid() ? family : FontFamily::Default()),
      sizePx_(sizePx > 0 ? sizePx : 1.0f),
      style_(style) {}

Font::Font(const std::wstring& familyName, float sizePx, int style)
    : Font(FontFamily::Installed(familyName), sizePx, style) {}

QFont QtFont(const Font& font) {
    EnsureQtApplication();
    QFont f(QString::fromStdWString(font.Family().Name()));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.SizePx()))));
    f.setBold((font.Style() & kFontBold) != 0);
    f.setItalic((font.Style() & kFontItalic) != 0);
    f.setUnderline((font.Style() & kFontUnderline) != 0);
    f.setStrikeOut((font.Style() & kFontStrikeout) != 0);
    // Metrics must not depend on the screen the program happens to run on.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

float Font::GetHeight() const { return static_cast<float>(QFontMetricsF(QtFont(*this)).lineSpacing()); }
float Font::Ascent() const { return static_cast<float>(QFontMetricsF(QtFont(*this)).ascent()); }

namespace {

// Handles this process loaded, so a handle is removed once only.
std::mutex& HandleMutex() {
    static std::mutex m;
    return m;
}
std::set<int>& LiveHandles() {
    static std::set<int> handles;
    return handles;
}

int Register(int id, std::vector<std::wstring>* families) {
    if (id < 0) return -1;
    const QStringList names = QFontDatabase::applicationFontFamilies(id);
    if (names.isEmpty()) {
        QFontDatabase::removeApplicationFont(id);
        return -1;
    }
    if (families) {
        families->clear();
        for (const QString& n : names) families->push_back(n.toStdWString());
    }
    std::lock_guard<std::mutex> lock(HandleMutex());
    LiveHandles().insert(id);
    return id;
}

}  // namespace

int AddPrivateFontFile(const std::wstring& path, std::vector<std::wstring>* families) {
    if (!EnsureQtApplication()) return -1;
    QFile file(QString::fromStdWString(path));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return Register(QFontDatabase::addApplicationFontFromData(file.readAll()), families);
}

int AddPrivateFontData(const void* data, std::size_t size, std::vector<std::wstring>* families) {
    if (!data || size == 0 || !EnsureQtApplication()) return -1;
    const QByteArray bytes(static_cast<const char*>(data), static_cast<qsizetype>(size));
    return Register(QFontDatabase::addApplicationFontFromData(bytes), families);
}

bool RemovePrivateFont(int handle) {
    {
        std::lock_guard<std::mutex> lock(HandleMutex());
        if (LiveHandles().erase(handle) == 0) return false;
    }
    return QFontDatabase::removeApplicationFont(handle);
}

}  // namespace platform::draw
