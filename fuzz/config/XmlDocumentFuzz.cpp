// libFuzzer target for XmlDocument: the bytes are read as a file (marks, encodings,
// NULs) and as text, every element and attribute is walked, and on a well-formed
// document an attribute edit must survive a fresh parse of the written text.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/WideString.h"
#include "config/XmlDocument.h"

namespace {

std::size_t Walk(keyloft::XmlDocument& doc, int depth) {
    std::size_t seen = 0;
    while (doc.FindNextElement()) {
        ++seen;
        std::wstring name = doc.GetTagName();
        for (const auto& attribute : doc.GetAttributes()) {
            // Looking the attribute up by name must give the first one of that name.
            std::wstring value = doc.GetAttribute(attribute.first);
            seen += value.size() & 1;
        }
        if (depth < 64 && doc.EnterElement()) {
            seen += Walk(doc, depth + 1);
            if (!doc.LeaveElement()) std::abort();  // entered, so leaving must work
        }
    }
    return seen;
}

const std::string& TempPath() {
    static const std::string path = [] {
        std::string p = "/tmp/keyloft-xml-fuzz-" + std::to_string(::getpid()) + ".xml";
        return p;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::FILE* f = std::fopen(TempPath().c_str(), "wb");
        if (!f) return 0;
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        keyloft::XmlDocument doc;
        bool ok = doc.LoadFile(TempPath());
        Walk(doc, 0);
        if (ok != doc.IsWellFormed()) std::abort();
    }

    keyloft::XmlDocument doc;
    doc.SetText(keyloft::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size)));
    Walk(doc, 0);
    if (!doc.IsWellFormed()) return 0;

    // Edit the root: set an attribute, add a child, and parse the result afresh.
    doc.ResetPosition();
    if (!doc.FindNextElement()) std::abort();
    const std::wstring value = L"v&<>\"'\x00E9";
    doc.SetAttribute(L"fz", value);
    if (doc.GetAttribute(L"fz") != value) std::abort();
    doc.EnterElement();
    doc.AddElement(L"fz_child");
    doc.SetAttribute(L"n", L"1");
    keyloft::XmlDocument fresh;
    fresh.SetText(doc.Text());
    if (!fresh.FindNextElement() || fresh.GetAttribute(L"fz") != value) std::abort();
    if (!fresh.EnterElement()) std::abort();
    bool found = false;
    while (fresh.FindElement(L"fz_child")) found = found || fresh.GetAttribute(L"n") == L"1";
    if (!found) std::abort();
    return 0;
}
