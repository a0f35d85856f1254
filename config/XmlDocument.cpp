#include "config/XmlDocument.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/WideString.h"
#include "config/XmlEncoding.h"
#include "config/XmlEntities.h"

namespace keyloft {

namespace {

inline bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
// Where a tag or attribute name ends.
inline bool EndsName(wchar_t c) { return IsSpace(c) || c == L'/' || c == L'>' || c == L'='; }

bool StartsWith(std::wstring_view text, std::size_t at, std::wstring_view prefix) {
    return text.size() >= at + prefix.size() && text.compare(at, prefix.size(), prefix) == 0;
}

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The value of pseudo-attribute `name` inside an <?xml ...?> declaration.
std::wstring DeclarationAttribute(std::wstring_view decl, std::wstring_view name) {
    std::size_t at = 0;
    while ((at = decl.find(name, at)) != std::wstring_view::npos) {
        std::size_t i = at + name.size();
        bool boundary = at == 0 || IsSpace(decl[at - 1]);
        at = i;
        if (!boundary) continue;
        while (i < decl.size() && IsSpace(decl[i])) ++i;
        if (i >= decl.size() || decl[i] != L'=') continue;
        ++i;
        while (i < decl.size() && IsSpace(decl[i])) ++i;
        if (i >= decl.size() || (decl[i] != L'"' && decl[i] != L'\'')) continue;
        wchar_t quote = decl[i];
        std::size_t close = decl.find(quote, i + 1);
        if (close == std::wstring_view::npos) return {};
        return std::wstring(decl.substr(i + 1, close - i - 1));
    }
    return {};
}

}  // namespace

// ---------------------------------------------------------------------------
// Declared encodings

namespace {

// The encoding a document declares: the encoding of its <?xml?> declaration, or the
// charset of an HTML document's Content-Type meta element.
std::wstring DeclaredEncoding(std::wstring_view head) {
    if (StartsWith(head, 0, L"<?xml")) {
        std::size_t end = head.find(L"?>");
        return DeclarationAttribute(head.substr(0, end == std::wstring_view::npos ? head.size() : end),
                                    L"encoding");
    }
    XmlDocument doc;
    doc.SetText(head);
    if (!doc.FindNextElement() || doc.GetTagName() != L"html") return {};
    if (!doc.EnterElement() || !doc.FindElement(L"head") || !doc.EnterElement()) return {};
    while (doc.FindElement(L"meta")) {
        std::string equiv = LowerAscii(WideToUtf8(doc.GetAttribute(L"http-equiv")));
        if (equiv != "content-type") continue;
        std::wstring content = doc.GetAttribute(L"content");
        std::string lower = LowerAscii(WideToUtf8(content));
        std::size_t at = lower.find("charset=");
        if (at == std::string::npos) continue;
        std::string charset = lower.substr(at + 8);
        std::size_t end = charset.find_first_of("; \t\"'");
        if (end != std::string::npos) charset.resize(end);
        return Utf8ToWide(charset);
    }
    return {};
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and loading

XmlDocument::XmlDocument() { Clear(); }

void XmlDocument::Clear() {
    text_.clear();
    elements_.assign(1, Element{});
    docIllFormed_ = false;
    parent_ = current_ = child_ = 0;
}

void XmlDocument::AddResult(std::wstring_view word) {
    // Each word once: a document full of stray '<' says so a single time.
    for (std::size_t at = result_.find(word); at != std::wstring::npos; at = result_.find(word, at + 1)) {
        bool starts = at == 0 || result_[at - 1] == L' ';
        bool ends = at + word.size() == result_.size() || result_[at + word.size()] == L' ';
        if (starts && ends) return;
    }
    if (!result_.empty()) result_ += L' ';
    result_ += word;
}

bool XmlDocument::LoadFile(const std::filesystem::path& path) {
    Clear();
    result_.clear();
    std::string bytes;
    {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            int error = errno;
            AddResult(L"file_error " + Utf8ToWide(std::strerror(error)) + L" (" + std::to_wstring(error) + L")");
            return false;
        }
        char buffer[65536];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
        bool failed = std::ferror(file) != 0;
        int error = errno;
        std::fclose(file);
        if (failed) {
            AddResult(L"file_error " + Utf8ToWide(std::strerror(error)) + L" (" + std::to_wstring(error) + L")");
            return false;
        }
    }

    // Byte-order marks, in this order: UTF-8, UTF-16 little-endian, UTF-16 big-endian.
    std::string_view data(bytes);
    int wide = 0;  // 0: 8-bit text, 1: UTF-16LE, 2: UTF-16BE
    std::string encoding;
    if (data.size() >= 3 && data.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        encoding = "UTF-8";
        data.remove_prefix(3);
        AddResult(L"bom");
    } else if (data.size() >= 2 && data.compare(0, 2, "\xFF\xFE") == 0) {
        wide = 1;
        data.remove_prefix(2);
        AddResult(L"bom");
    } else if (data.size() >= 2 && data.compare(0, 2, "\xFE\xFF") == 0) {
        wide = 2;
        data.remove_prefix(2);
        AddResult(L"bom endian_swap");
    }

    std::wstring text;
    if (wide) {
        // UTF-16: units as they are, NUL units dropped, pairs joined into one
        // code point (wide strings hold code points here).
        text.reserve(data.size() / 2);
        bool nulls = false;
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
            unsigned char a = static_cast<unsigned char>(data[i]), b = static_cast<unsigned char>(data[i + 1]);
            char32_t unit = wide == 1 ? (a | (b << 8)) : ((a << 8) | b);
            if (unit == 0) {
                nulls = true;
                continue;
            }
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < data.size()) {
                unsigned char c = static_cast<unsigned char>(data[i + 2]), d = static_cast<unsigned char>(data[i + 3]);
                char32_t low = wide == 1 ? (c | (d << 8)) : ((c << 8) | d);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
            text += static_cast<wchar_t>(unit);
        }
        if (nulls) AddResult(L"nulls_removed");
    } else {
        // NUL bytes are dropped; most files have none, and then nothing is copied.
        std::string clean;
        if (data.find('\0') != std::string_view::npos) {
            clean.reserve(data.size());
            for (char c : data) {
                if (c != '\0') clean += c;
            }
            AddResult(L"nulls_removed");
            data = clean;
        }
        if (encoding.empty()) {
            std::size_t headSize = data.size() < 1024 ? data.size() : 1024;
            std::wstring head;
            xmlenc::DecodeUtf8(data.substr(0, headSize), head);
            std::wstring declared = DeclaredEncoding(head);
            if (!declared.empty()) {
                encoding = xmlenc::ResolveEncoding(WideToUtf8(declared));
                // Eight-bit text cannot be in an encoding of wider units: such a
                // declaration came with a file whose NULs were just removed.
                if (xmlenc::IsWideUnitEncoding(encoding)) encoding.clear();
                if (encoding.empty() && !xmlenc::IsWideUnitEncoding(xmlenc::ResolveEncoding(WideToUtf8(declared))))
                    encoding = xmlenc::AnsiEncoding();
            } else if (!data.empty() && data[0] == '<') {
                encoding = "UTF-8";
            }
        }
        if (encoding.empty() && xmlenc::LooksLikeUtf8(data)) {
            encoding = "UTF-8";
            AddResult(L"utf8_detection");
        }
        if (encoding.empty()) encoding = xmlenc::AnsiEncoding();
        bool loss = false;
        text = xmlenc::DecodeBytes(data, encoding, loss);
        if (encoding != "UTF-8") AddResult(L"converted_from " + Utf8ToWide(encoding));
        if (loss) AddResult(L"conversion_loss");
    }

    text_ = std::move(text);
    Parse();
    if (!IsWellFormed()) {
        // Nothing of a broken file may be used: callers that forget to check the
        // result still find no element in it.
        Clear();
        return false;
    }
    return true;
}

void XmlDocument::SetText(std::wstring_view text) {
    Clear();
    result_.clear();
    text_.assign(text);
    Parse();
}

bool XmlDocument::SaveFile(const std::filesystem::path& path) {
    // The same declaration that reading honours: the <?xml?> encoding, or the
    // charset of an HTML document's Content-Type meta element, looked for in the
    // first 1024 characters as a reader would see them.
    std::string encoding = "UTF-8";
    std::wstring declared = DeclaredEncoding(std::wstring_view(text_).substr(0, 1024));
    if (!declared.empty()) {
        encoding = xmlenc::ResolveEncoding(WideToUtf8(declared));
        if (encoding.empty()) encoding = xmlenc::AnsiEncoding();
    }
    bool loss = false;
    std::string bytes = xmlenc::EncodeText(text_, encoding, loss);
    if (encoding != "UTF-8") AddResult(L"converted_to " + Utf8ToWide(encoding));
    if (loss) AddResult(L"conversion_loss");

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        int error = errno;
        AddResult(L"file_error " + Utf8ToWide(std::strerror(error)) + L" (" + std::to_wstring(error) + L")");
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) AddResult(L"file_error write");
    return ok;
}

// ---------------------------------------------------------------------------
// Parsing

void XmlDocument::Parse() {
    const std::wstring_view text(text_);
    const std::size_t n = text.size();
    elements_.clear();
    elements_.reserve(n / 64 + 8);
    elements_.push_back(Element{});
    elements_[0].length = n;

    std::vector<std::uint32_t> open;      // stack of open elements
    std::vector<std::uint32_t> lastChild;  // per element: its last child so far
    lastChild.reserve(n / 64 + 8);
    lastChild.push_back(0);

    auto markBroken = [this](std::wstring_view word) {
        docIllFormed_ = true;
        AddResult(word);
    };
    // Closes the open elements from stack position `from` upwards as having no end
    // tag: each keeps only its start tag, and its children become its following
    // siblings. Every one of them is the last child of the one below it, so the
    // whole run ends up, in document order, as children of the element below
    // `from` (or of the document), each child touched once.
    auto closeUnendedFrom = [&](std::size_t from) {
        const std::uint32_t p = from == 0 ? 0 : open[from - 1];
        std::uint32_t tail = 0;
        for (std::size_t k = from; k < open.size(); ++k) {
            std::uint32_t u = open[k];
            Element& e = elements_[u];
            e.flags |= kNoEndTag | kIllFormed;
            e.length = e.startTagLength;
            e.endTagLength = 0;
            tail = u;
            if (std::uint32_t first = e.firstChild) {
                for (std::uint32_t c = first; c; c = elements_[c].nextSibling) elements_[c].parent = p;
                elements_[u].nextSibling = first;
                elements_[first].prevSibling = u;
                elements_[u].firstChild = 0;
                tail = lastChild[u];
                lastChild[u] = 0;
            }
        }
        if (from < open.size()) {
            lastChild[p] = tail;
            docIllFormed_ = true;
        }
        open.resize(from);
    };

    std::size_t pos = 0;
    bool unended = false;
    while (pos < n) {
        std::size_t lt = text.find(L'<', pos);
        if (lt == std::wstring_view::npos) break;
        if (lt + 1 >= n) {
            markBroken(L"unterminated_tag_syntax");
            break;
        }
        wchar_t c = text[lt + 1];
        if (c == L'?') {
            std::size_t end = text.find(L"?>", lt + 2);
            if (end == std::wstring_view::npos) {
                markBroken(L"unterminated_tag_syntax");
                break;
            }
            pos = end + 2;
            continue;
        }
        if (c == L'!') {
            if (StartsWith(text, lt, L"<!--")) {
                std::size_t end = text.find(L"-->", lt + 4);
                if (end == std::wstring_view::npos) {
                    markBroken(L"comment_tag_syntax");
                    break;
                }
                pos = end + 3;
            } else if (StartsWith(text, lt, L"<![CDATA[")) {
                std::size_t end = text.find(L"]]>", lt + 9);
                if (end == std::wstring_view::npos) {
                    markBroken(L"cdata_section_syntax");
                    break;
                }
                pos = end + 3;
            } else if (StartsWith(text, lt, L"<!DOCTYPE")) {
                // Up to the '>' outside quotes and outside the internal subset.
                std::size_t i = lt + 9;
                int depth = 0;
                wchar_t quote = 0;
                for (; i < n; ++i) {
                    wchar_t d = text[i];
                    if (quote) {
                        if (d == quote) quote = 0;
                    } else if (d == L'"' || d == L'\'') {
                        quote = d;
                    } else if (d == L'[') {
                        ++depth;
                    } else if (d == L']') {
                        if (depth > 0) --depth;
                    } else if (d == L'>' && depth == 0) {
                        break;
                    }
                }
                if (i >= n) {
                    markBroken(L"doctype_tag_syntax");
                    break;
                }
                pos = i + 1;
            } else {
                std::size_t end = text.find(L'>', lt + 2);
                markBroken(L"exclamation_tag_syntax");
                if (end == std::wstring_view::npos) break;
                pos = end + 1;
            }
            continue;
        }
        if (c == L'/') {
            std::size_t nameStart = lt + 2, nameEnd = nameStart;
            while (nameEnd < n && !IsSpace(text[nameEnd]) && text[nameEnd] != L'>') ++nameEnd;
            std::size_t gt = text.find(L'>', nameEnd);
            if (gt == std::wstring_view::npos) {
                markBroken(L"unterminated_tag_syntax");
                break;
            }
            std::wstring_view name = text.substr(nameStart, nameEnd - nameStart);
            std::size_t match = open.size();
            for (std::size_t k = open.size(); k-- > 0;) {
                if (NameOf(open[k]) == name) {
                    match = k;
                    break;
                }
            }
            if (match == open.size()) {
                markBroken(L"lone_end_tag");
            } else {
                if (open.size() > match + 1) {
                    closeUnendedFrom(match + 1);
                    unended = true;
                }
                std::uint32_t m = open.back();
                open.pop_back();
                Element& e = elements_[m];
                e.length = gt + 1 - e.start;
                e.endTagLength = gt + 1 - lt;
            }
            pos = gt + 1;
            continue;
        }
        if (EndsName(c) || c == L'<' || c == L'"' || c == L'\'') {
            // A '<' that starts no tag.
            markBroken(L"first_tag_syntax");
            pos = lt + 1;
            continue;
        }

        // A start tag or an empty-element tag: find its '>' outside quoted values.
        std::size_t i = lt + 1;
        while (i < n && !EndsName(text[i])) ++i;
        bool empty = false, closed = false;
        while (i < n) {
            wchar_t d = text[i];
            if (IsSpace(d)) {
                ++i;
            } else if (d == L'>') {
                closed = true;
                break;
            } else if (d == L'/') {
                if (i + 1 < n && text[i + 1] == L'>') {
                    empty = closed = true;
                    ++i;
                    break;
                }
                ++i;
            } else if (d == L'=') {
                ++i;
                while (i < n && IsSpace(text[i])) ++i;
                if (i < n && (text[i] == L'"' || text[i] == L'\'')) {
                    std::size_t close = text.find(text[i], i + 1);
                    if (close == std::wstring_view::npos) {
                        i = n;
                        break;
                    }
                    i = close + 1;
                } else {
                    while (i < n && !IsSpace(text[i]) && text[i] != L'>') ++i;
                }
            } else {
                while (i < n && !EndsName(text[i])) ++i;
            }
        }
        if (!closed) {
            markBroken(L"unterminated_tag_syntax");
            break;
        }
        std::size_t gt = i;
        std::uint32_t index = static_cast<std::uint32_t>(elements_.size());
        Element e;
        e.start = lt;
        e.startTagLength = gt + 1 - lt;
        e.parent = open.empty() ? 0 : open.back();
        e.prevSibling = lastChild[e.parent];
        if (empty) {
            e.flags = kEmptyTag;
            e.length = e.startTagLength;
        }
        elements_.push_back(e);
        lastChild.push_back(0);
        if (std::uint32_t prev = elements_[index].prevSibling) {
            elements_[prev].nextSibling = index;
        } else {
            elements_[elements_[index].parent].firstChild = index;
        }
        lastChild[elements_[index].parent] = index;
        if (!empty) open.push_back(index);
        pos = gt + 1;
    }
    if (!open.empty()) unended = true;
    closeUnendedFrom(0);
    if (unended) AddResult(L"unended_start_tag");

    std::uint32_t roots = 0;
    for (std::uint32_t r = elements_[0].firstChild; r; r = elements_[r].nextSibling) ++roots;
    if (roots == 0) AddResult(L"no_root_element");
    if (roots > 1) AddResult(L"root_has_sibling");
}

bool XmlDocument::IsWellFormed() const {
    if (docIllFormed_) return false;
    std::uint32_t root = elements_[0].firstChild;
    return root != 0 && elements_[root].nextSibling == 0;
}

std::wstring_view XmlDocument::NameOf(std::uint32_t element) const {
    const Element& e = elements_[element];
    std::size_t begin = e.start + 1, end = begin;
    const std::size_t limit = e.start + e.startTagLength;
    while (end < limit && !EndsName(text_[end])) ++end;
    return std::wstring_view(text_).substr(begin, end - begin);
}

// ---------------------------------------------------------------------------
// Cursor

bool XmlDocument::FindFrom(std::wstring_view name, bool anyName) {
    std::uint32_t e = current_ ? elements_[current_].nextSibling : elements_[parent_].firstChild;
    for (; e; e = elements_[e].nextSibling) {
        if (anyName || NameOf(e) == name) {
            current_ = e;
            child_ = 0;
            return true;
        }
    }
    return false;
}

bool XmlDocument::FindElement(std::wstring_view name) { return FindFrom(name, false); }
bool XmlDocument::FindNextElement() { return FindFrom({}, true); }

bool XmlDocument::EnterElement() {
    if (!current_) return false;
    parent_ = current_;
    current_ = child_;
    child_ = 0;
    return true;
}

bool XmlDocument::LeaveElement() {
    if (!parent_) return false;
    child_ = current_;
    current_ = parent_;
    parent_ = elements_[parent_].parent;
    return true;
}

void XmlDocument::ResetPosition() { parent_ = current_ = child_ = 0; }

std::wstring XmlDocument::GetTagName() const {
    if (!current_) return {};
    return std::wstring(NameOf(current_));
}

// ---------------------------------------------------------------------------
// Attributes

template <class Visit>
bool XmlDocument::VisitAttributes(std::uint32_t element, Visit&& visit) const {
    const Element& e = elements_[element];
    const std::wstring_view text(text_);
    std::size_t i = e.start + 1;
    std::size_t limit = e.start + e.startTagLength - 1;  // the closing '>'
    if (e.flags & kEmptyTag) --limit;                      // the '/' of "/>"
    while (i < limit && !EndsName(text[i])) ++i;
    while (i < limit) {
        wchar_t c = text[i];
        if (IsSpace(c) || c == L'/') {
            ++i;
            continue;
        }
        if (c == L'=') {
            // A value without a name: skipped the way the parser skipped it, so that
            // a quoted '>' inside it is not taken for a name.
            ++i;
            while (i < limit && IsSpace(text[i])) ++i;
            if (i < limit && (text[i] == L'"' || text[i] == L'\'')) {
                std::size_t close = text.find(text[i], i + 1);
                i = close == std::wstring_view::npos || close >= limit ? limit : close + 1;
            } else {
                while (i < limit && !IsSpace(text[i])) ++i;
            }
            continue;
        }
        RawAttribute a{};
        a.nameStart = i;
        while (i < limit && !EndsName(text[i])) ++i;
        a.nameLength = i - a.nameStart;
        if (a.nameLength == 0) {
            ++i;  // never stand still, whatever the tag holds
            continue;
        }
        std::size_t afterName = i;
        while (i < limit && IsSpace(text[i])) ++i;
        if (i < limit && text[i] == L'=') {
            ++i;
            while (i < limit && IsSpace(text[i])) ++i;
            if (i < limit && (text[i] == L'"' || text[i] == L'\'')) {
                std::size_t close = text.find(text[i], i + 1);
                if (close == std::wstring_view::npos || close > limit) close = limit;
                a.valueStart = i + 1;
                a.valueLength = close - i - 1;
                i = close < limit ? close + 1 : limit;
            } else {
                a.valueStart = i;
                while (i < limit && !IsSpace(text[i])) ++i;
                a.valueLength = i - a.valueStart;
            }
            a.end = i;
        } else {
            // A bare name without a value.
            a.valueStart = afterName;
            a.valueLength = 0;
            a.end = afterName;
            i = afterName;
        }
        if (visit(a)) return true;
    }
    return false;
}

std::vector<XmlDocument::RawAttribute> XmlDocument::ScanAttributes(std::uint32_t element) const {
    std::vector<RawAttribute> out;
    VisitAttributes(element, [&](const RawAttribute& a) {
        out.push_back(a);
        return false;
    });
    return out;
}

std::wstring XmlDocument::GetAttribute(std::wstring_view name) const {
    std::wstring value;
    if (!current_) return value;
    const std::wstring_view text(text_);
    VisitAttributes(current_, [&](const RawAttribute& a) {
        if (text.substr(a.nameStart, a.nameLength) != name) return false;
        value = DecodeReferences(text.substr(a.valueStart, a.valueLength));
        return true;
    });
    return value;
}

bool XmlDocument::HasAttribute(std::wstring_view name) const {
    if (!current_) return false;
    const std::wstring_view text(text_);
    return VisitAttributes(current_, [&](const RawAttribute& a) { return text.substr(a.nameStart, a.nameLength) == name; });
}

std::vector<std::pair<std::wstring, std::wstring>> XmlDocument::GetAttributes() const {
    std::vector<std::pair<std::wstring, std::wstring>> out;
    if (!current_) return out;
    for (const RawAttribute& a : ScanAttributes(current_)) {
        out.emplace_back(text_.substr(a.nameStart, a.nameLength),
                         DecodeReferences(std::wstring_view(text_).substr(a.valueStart, a.valueLength)));
    }
    return out;
}

std::wstring XmlDocument::EscapeValue(std::wstring_view value) {
    std::wstring out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        switch (c) {
            case L'<': out += L"&lt;"; break;
            case L'&': out += L"&amp;"; break;
            case L'>': out += L"&gt;"; break;
            case L'\'': out += L"&apos;"; break;
            case L'"': out += L"&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::wstring XmlDocument::DecodeReferences(std::wstring_view value) {
    std::size_t amp = value.find(L'&');
    if (amp == std::wstring_view::npos) return std::wstring(value);
    std::wstring out(value.substr(0, amp));
    std::size_t i = amp;
    while (i < value.size()) {
        wchar_t c = value[i];
        if (c != L'&') {
            out += c;
            ++i;
            continue;
        }
        // The longest reference is "&#x10FFFF;" or a name of 8 characters.
        // Looking no further than that keeps a value full of '&' linear.
        std::size_t semi = value.substr(0, i + 11 < value.size() ? i + 11 : value.size()).find(L';', i + 1);
        if (semi == std::wstring_view::npos) {
            out += c;
            ++i;
            continue;
        }
        std::wstring_view body = value.substr(i + 1, semi - i - 1);
        char32_t cp = 0;
        if (!body.empty() && body[0] == L'#') {
            bool hex = body.size() > 1 && (body[1] == L'x' || body[1] == L'X');
            std::wstring_view digits = body.substr(hex ? 2 : 1);
            bool valid = !digits.empty();
            std::uint32_t v = 0;
            for (wchar_t d : digits) {
                int digit;
                if (d >= L'0' && d <= L'9') digit = d - L'0';
                else if (hex && d >= L'a' && d <= L'f') digit = d - L'a' + 10;
                else if (hex && d >= L'A' && d <= L'F') digit = d - L'A' + 10;
                else {
                    valid = false;
                    break;
                }
                v = v * (hex ? 16 : 10) + digit;
                if (v > 0x10FFFF) {
                    valid = false;
                    break;
                }
            }
            // 0 and lone surrogates are no characters; they stay as written.
            if (valid && v != 0 && !(v >= 0xD800 && v <= 0xDFFF)) cp = v;
        } else {
            cp = xmlent::LookupEntity(body);
        }
        if (cp) {
            out += static_cast<wchar_t>(cp);
            i = semi + 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Writing

void XmlDocument::Splice(std::size_t offset, std::size_t removed, std::wstring_view inserted) {
    text_.replace(offset, removed, inserted);
    const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(inserted.size()) - static_cast<std::ptrdiff_t>(removed);
    const std::size_t after = offset + removed;
    elements_[0].length = text_.size();
    for (std::size_t k = 1; k < elements_.size(); ++k) {
        Element& e = elements_[k];
        std::size_t end = e.start + e.length;
        if (e.start >= after) {
            e.start += delta;
        } else if (e.start < offset && end >= after && end > offset) {
            e.length += delta;
            if (offset < e.start + e.startTagLength) e.startTagLength += delta;
        }
    }
}

std::uint32_t XmlDocument::LastChildOf(std::uint32_t parent) const {
    std::uint32_t last = 0;
    for (std::uint32_t c = elements_[parent].firstChild; c; c = elements_[c].nextSibling) last = c;
    return last;
}

void XmlDocument::AddElement(std::wstring_view name) {
    const std::wstring tag = L"<" + std::wstring(name) + L"/>";
    std::size_t elementStart;
    std::uint32_t prev;
    if (current_) {
        prev = current_;
        const Element& cur = elements_[current_];
        std::size_t end = cur.start + cur.length;
        if (StartsWith(text_, end, L"\r\n")) {
            elementStart = end + 2;
            Splice(elementStart, 0, tag + L"\r\n");
        } else if (StartsWith(text_, end, L"\n")) {
            elementStart = end + 1;
            Splice(elementStart, 0, tag + L"\r\n");
        } else {
            elementStart = end + 2;
            Splice(end, 0, L"\r\n" + tag);
        }
    } else {
        prev = LastChildOf(parent_);
        if (parent_ == 0) {
            std::size_t end = text_.size();
            bool lineStart = end == 0 || text_[end - 1] == L'\n';
            elementStart = end + (lineStart ? 0 : 2);
            Splice(end, 0, (lineStart ? L"" : L"\r\n") + tag + L"\r\n");
        } else if (elements_[parent_].flags & kEmptyTag) {
            // <parent/> becomes <parent>, the new element, </parent>, one a line.
            Element& p = elements_[parent_];
            std::size_t slash = p.start + p.startTagLength - 2;
            std::wstring endTag = L"</" + std::wstring(NameOf(parent_)) + L">";
            std::size_t oldStartTag = p.startTagLength, oldLength = p.length;
            std::wstring replacement = L">\r\n" + tag + L"\r\n" + endTag;
            elementStart = slash + 3;
            Splice(slash, 2, replacement);
            Element& q = elements_[parent_];
            q.flags &= ~kEmptyTag;
            q.startTagLength = oldStartTag - 1;
            q.endTagLength = endTag.size();
            q.length = oldLength - 2 + replacement.size();
        } else {
            const Element& p = elements_[parent_];
            std::size_t at = p.start + p.length - p.endTagLength;
            bool lineStart = at > 0 && text_[at - 1] == L'\n';
            elementStart = at + (lineStart ? 0 : 2);
            Splice(at, 0, (lineStart ? L"" : L"\r\n") + tag + L"\r\n");
        }
    }

    if (elements_.size() == elements_.capacity()) elements_.reserve(elements_.size() + elements_.size() / 2 + 1);
    std::uint32_t index = static_cast<std::uint32_t>(elements_.size());
    Element e;
    e.start = elementStart;
    e.length = e.startTagLength = tag.size();
    e.flags = kEmptyTag;
    e.parent = parent_;
    e.prevSibling = prev;
    e.nextSibling = prev ? elements_[prev].nextSibling : elements_[parent_].firstChild;
    elements_.push_back(e);
    if (prev) elements_[prev].nextSibling = index;
    else elements_[parent_].firstChild = index;
    if (std::uint32_t next = elements_[index].nextSibling) elements_[next].prevSibling = index;
    current_ = index;
    child_ = 0;
}

void XmlDocument::SetAttribute(std::wstring_view name, std::wstring_view value) {
    if (!current_) return;
    const std::wstring quoted = L"\"" + EscapeValue(value) + L"\"";
    std::vector<RawAttribute> attributes = ScanAttributes(current_);
    for (const RawAttribute& a : attributes) {
        if (std::wstring_view(text_).substr(a.nameStart, a.nameLength) != name) continue;
        if (a.end == a.nameStart + a.nameLength) {
            // A bare name: give it a value.
            Splice(a.end, 0, L"=" + quoted);
        } else {
            bool wasQuoted = a.valueStart > 0 && (text_[a.valueStart - 1] == L'"' || text_[a.valueStart - 1] == L'\'');
            std::size_t from = wasQuoted ? a.valueStart - 1 : a.valueStart;
            Splice(from, a.end - from, quoted);
        }
        return;
    }
    std::size_t at;
    if (!attributes.empty()) {
        at = attributes.back().end;
    } else {
        at = elements_[current_].start + 1 + NameOf(current_).size();
    }
    Splice(at, 0, L" " + std::wstring(name) + L"=" + quoted);
}

}  // namespace keyloft
