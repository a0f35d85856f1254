// XmlDocument: the program's own XML reader and writer, used for config.xml, the
// layout files and the exchange files.
//
// One object holds one document as a wide string (the text is the storage) plus an
// index of the elements in it and a cursor that stands on one element at one level.
// Parsing is a single lenient pass: a broken document still gets an index, and the
// booleans (LoadFile's result, IsWellFormed) tell whether it may be trusted. Edits
// splice the text and shift the spans that follow, so a written document is exactly
// the text that was built.
//
// Objects are short-lived locals used by one thread at a time. Nothing throws for
// bad input: failures are the boolean results, and ResultText() carries diagnostic
// words ("file_error", "bom", "unended_start_tag", ...) that the program never reads.
//
// Wide strings on this platform hold one code point per wchar_t, so references and
// UTF-16 files above U+FFFF become a single character, not a surrogate pair.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace keyloft {

class XmlDocument {
public:
    XmlDocument();

    // Reads the file (byte-order marks, declared encodings, NUL removal, UTF-8
    // detection), then parses it. True only when the file was read and the document
    // is well-formed. Any failure leaves an empty document (ResultText says why).
    bool LoadFile(const std::filesystem::path& path);
    // Replaces the whole text and parses it; the cursor returns to document level.
    void SetText(std::wstring_view text);
    // Writes the text in the encoding its own declaration names (UTF-8 when none),
    // without a byte-order mark. False when the file cannot be opened or written.
    bool SaveFile(const std::filesystem::path& path);

    // Among the children of the parent level, the first element named `name` after
    // the current position (from the first child when the position is 0). On
    // success it becomes the current position; on failure nothing moves.
    bool FindElement(std::wstring_view name);
    // As FindElement, for an element of any name (walkers, the fuzz target).
    bool FindNextElement();
    bool EnterElement();
    bool LeaveElement();
    // Moves the cursor back to document level, position 0.
    void ResetPosition();

    // The named attribute of the current element with references decoded; empty
    // when there is no current element or no such attribute.
    std::wstring GetAttribute(std::wstring_view name) const;
    bool HasAttribute(std::wstring_view name) const;
    // Every attribute of the current element in text order, values decoded.
    std::vector<std::pair<std::wstring, std::wstring>> GetAttributes() const;
    // Tag name of the current element; empty when there is none.
    std::wstring GetTagName() const;

    // Inserts <name/> as the next sibling of the current position (the last child of
    // the parent level when the position is 0) and makes it current.
    void AddElement(std::wstring_view name);
    // Replaces or appends an attribute of the current element; the value is escaped.
    // Does nothing when there is no current element.
    void SetAttribute(std::wstring_view name, std::wstring_view value);

    const std::wstring& Text() const { return text_; }
    bool IsWellFormed() const;
    const std::wstring& ResultText() const { return result_; }

    // Escaping and decoding used by the attribute operations, exposed for tests and
    // the exchange files.
    static std::wstring EscapeValue(std::wstring_view value);
    static std::wstring DecodeReferences(std::wstring_view value);

private:
    enum Flags : std::uint32_t {
        kEmptyTag = 1u << 0,   // written as <name/>
        kNoEndTag = 1u << 1,   // closed by an outer end tag or by the end of the text
        kIllFormed = 1u << 2,
    };
    struct Element {
        std::size_t start = 0;      // offset of '<'
        std::size_t length = 0;     // '<' to the end of the end tag (or of the empty tag)
        std::size_t startTagLength = 0;
        std::size_t endTagLength = 0;
        std::uint32_t flags = 0;
        std::uint32_t parent = 0;
        std::uint32_t firstChild = 0;
        std::uint32_t nextSibling = 0;
        std::uint32_t prevSibling = 0;
    };
    struct RawAttribute {
        std::size_t nameStart, nameLength;
        std::size_t valueStart, valueLength;  // value text as written (without quotes)
        std::size_t end;                      // offset just after the attribute
    };

    void Clear();
    void Parse();
    void AddResult(std::wstring_view word);
    std::wstring_view NameOf(std::uint32_t element) const;
    std::vector<RawAttribute> ScanAttributes(std::uint32_t element) const;
    // Calls visit(attribute) for each attribute in text order until it returns true;
    // returns whether one did.
    template <class Visit>
    bool VisitAttributes(std::uint32_t element, Visit&& visit) const;
    std::uint32_t LastChildOf(std::uint32_t parent) const;
    // Replaces [offset, offset + removed) with `inserted` and shifts every span.
    void Splice(std::size_t offset, std::size_t removed, std::wstring_view inserted);
    bool FindFrom(std::wstring_view name, bool anyName);

    std::wstring text_;
    std::vector<Element> elements_;  // [0] is the document itself
    std::wstring result_;
    bool docIllFormed_ = false;      // lone end tags, tag syntax errors
    std::uint32_t parent_ = 0;       // cursor: parent level
    std::uint32_t current_ = 0;      // cursor: current position at that level
    std::uint32_t child_ = 0;        // cursor: what EnterElement makes current
};

}  // namespace keyloft
