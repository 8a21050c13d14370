#include "LanguageFile.h"
#include "XmlInput.h"
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

using xmlinput::Printed;

namespace {

const std::uint32_t kNone = 0xFFFFFFFFu;

} // namespace

// The parsed file. Every tag is a node in one array; children and siblings are linked by
// index, so neither building nor freeing the tree recurses however deep the file nests.
// Names and attribute values live, converted and NUL-terminated, in one text block.
struct CLanguageFile::Document {
    struct Node {
        std::uint32_t name;
        std::uint32_t firstChild;
        std::uint32_t nextSibling;
        std::uint32_t firstAttribute;
        std::uint32_t attributeCount;
    };
    struct Attribute {
        std::uint32_t name;
        std::uint32_t value;
        std::uint32_t wideValue;         // the value as the file has it, in wideText
    };

    std::string text;
    std::wstring wideText;               // values before their conversion to the code page
    std::vector<Node> nodes;             // node 0 is the document, parent of the top-level tags
    std::vector<Attribute> attributes;
    // Each distinct tag or attribute name once, by its converted text: a file of many names
    // loads in time linear in its size.
    std::unordered_map<std::string, std::uint32_t> names;
    std::uint32_t current = kNone;

    const char* At(std::uint32_t offset) const { return text.data() + offset; }

    // A name's offset in the text block; kNone when no tag or attribute carries it.
    std::uint32_t NameOffset(const char* name) const
    {
        auto found = names.find(name);
        return found == names.end() ? kNone : found->second;
    }

    std::uint32_t FindFrom(std::uint32_t node, std::uint32_t name) const
    {
        while (node != kNone && nodes[node].name != name)
            node = nodes[node].nextSibling;
        return node;
    }
};

namespace {

// Fills a document from the reader's stream of nodes, keeping the open tags on a stack.
class TreeBuilder {
public:
    TreeBuilder(CLanguageFile::Document& document, const xmlinput::ShapedFile& input)
        : m_doc(document), m_escaped(input.escaped), m_firstLine(input.firstLine)
    {
    }

    bool Build(IXmlReader* reader, const xmlinput::ChunkStream& stream, std::string* error)
    {
        m_doc.nodes.push_back({kNone, kNone, kNone, 0, 0});
        m_open.push_back({0, kNone});
        XmlNodeType type;
        HRESULT hr;
        unsigned long pastEnd = 0;
        int stalled = 0;
        while ((hr = reader->Read(&type)) == S_OK) {
            // A healthy end reads past the end of the stream a few times, not on every node.
            stalled = stream.ReadsPastEnd() != pastEnd ? stalled + 1 : 0;
            pastEnd = stream.ReadsPastEnd();
            if (stalled > 32) {
                *error = "the file ends in the middle of its content";
                return false;
            }
            if (type == XmlNodeType_Element) {
                if (m_open.size() > CLanguageFile::kMaxDepth) {
                    *error = Printed("the tags are nested deeper than %lu levels", CLanguageFile::kMaxDepth);
                    return false;
                }
                if (!AddElement(reader, error))
                    return false;
            } else if (type == XmlNodeType_EndElement && m_open.size() > 1) {
                m_open.pop_back();
            }
        }
        if (FAILED(hr)) {
            UINT line = 0, column = 0;
            reader->GetLineNumber(&line);
            reader->GetLinePosition(&column);
            // The file passed the check of well-formedness: this is a limit of the reader, whose
            // column counts the shaped line.
            *error = Printed("the XML reader refuses the file at line %lu, column %lu (error 0x%08lX)",
                             line + m_firstLine - 1, column, static_cast<unsigned long>(hr));
            return false;
        }
        if (m_open.size() > 1) {
            *error = std::string("the file ends inside the tag <") + m_doc.At(m_doc.nodes[m_open.back().node].name) + ">";
            return false;
        }
        if (m_doc.nodes[0].firstChild == kNone) {
            *error = "the file holds no tag";
            return false;
        }
        return true;
    }

private:
    struct OpenTag {
        std::uint32_t node;
        std::uint32_t lastChild;
    };

    bool AddElement(IXmlReader* reader, std::string* error)
    {
        const WCHAR* name = nullptr;
        UINT nameLength = 0;
        if (FAILED(reader->GetQualifiedName(&name, &nameLength))) {
            *error = "a tag name cannot be read";
            return false;
        }
        auto index = static_cast<std::uint32_t>(m_doc.nodes.size());
        bool empty = reader->IsEmptyElement() != FALSE;
        m_doc.nodes.push_back({Intern(name, nameLength), kNone, kNone,
                               static_cast<std::uint32_t>(m_doc.attributes.size()), 0});
        HRESULT hr = reader->MoveToFirstAttribute();
        for (; hr == S_OK; hr = reader->MoveToNextAttribute()) {
            const WCHAR* value = nullptr;
            UINT valueLength = 0;
            if (FAILED(reader->GetQualifiedName(&name, &nameLength)) || FAILED(reader->GetValue(&value, &valueLength))) {
                hr = E_FAIL;
                break;
            }
            std::uint32_t attributeName = Intern(name, nameLength);
            std::wstring text(value, valueLength);
            if (m_escaped && xmlinput::HoldsEscape(value, valueLength))
                xmlinput::Unescape(&text);
            m_doc.attributes.push_back({attributeName, AddText(text.data(), text.size()), AddWideText(text)});
            ++m_doc.nodes[index].attributeCount;
        }
        if (FAILED(hr)) {
            *error = std::string("the attributes of a tag <") + m_doc.At(m_doc.nodes[index].name) + "> cannot be read";
            return false;
        }
        reader->MoveToElement();

        OpenTag& parent = m_open.back();
        if (parent.lastChild == kNone)
            m_doc.nodes[parent.node].firstChild = index;
        else
            m_doc.nodes[parent.lastChild].nextSibling = index;
        parent.lastChild = index;
        if (!empty)
            m_open.push_back({index, kNone});
        return true;
    }

    std::uint32_t AddText(const WCHAR* text, size_t length)
    {
        auto offset = static_cast<std::uint32_t>(m_doc.text.size());
        int wide = static_cast<int>(length);
        int bytes = wide > 0 ? ::WideCharToMultiByte(CLanguageFile::kCodePage, 0, text, wide, nullptr, 0, nullptr, nullptr) : 0;
        if (bytes > 0) {
            m_doc.text.resize(offset + static_cast<size_t>(bytes));
            ::WideCharToMultiByte(CLanguageFile::kCodePage, 0, text, wide, &m_doc.text[offset], bytes, nullptr, nullptr);
        }
        m_doc.text.push_back('\0');
        return offset;
    }

    std::uint32_t AddWideText(const std::wstring& text)
    {
        auto offset = static_cast<std::uint32_t>(m_doc.wideText.size());
        m_doc.wideText += text;
        m_doc.wideText.push_back(L'\0');
        return offset;
    }

    // Names repeat on every item: each is converted once and kept once.
    std::uint32_t Intern(const WCHAR* name, UINT length)
    {
        std::wstring key(name, length);
        auto known = m_wideNames.find(key);
        if (known != m_wideNames.end())
            return known->second;
        std::uint32_t offset = AddText(name, length);
        std::uint32_t same = m_doc.NameOffset(m_doc.At(offset));
        if (same != kNone)
            m_doc.text.resize(offset);   // another spelling that converts to a known name
        else
            m_doc.names.emplace(m_doc.At(offset), same = offset);
        m_wideNames.emplace(std::move(key), same);
        return same;
    }

    CLanguageFile::Document& m_doc;
    bool m_escaped;
    unsigned long m_firstLine;
    std::vector<OpenTag> m_open;
    std::unordered_map<std::wstring, std::uint32_t> m_wideNames;
};

bool ParseFile(const std::string& path, CLanguageFile::Document& document, std::string* error)
{
    xmlinput::ShapedFile shaped;
    if (!xmlinput::ReadShaped(path, CLanguageFile::kMaxFileSize, &shaped, error))
        return false;
    xmlinput::ChunkStream stream(shaped.bytes);
    xmlinput::XmlLite xmllite;   // declared before the reader, so that it is freed after it
    xmlinput::ComRef<IXmlReader> reader;
    HRESULT hr = xmllite.CreateReader(reader.Out());
    if (FAILED(hr)) {
        *error = Printed("the XML reader xmllite.dll is not available (error 0x%08lX)", static_cast<unsigned long>(hr));
        return false;
    }
    // No document type definitions, so no entity can blow a small file up; the depth limit
    // of the reader itself is set above ours, so that ours gives the message.
    reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    reader->SetProperty(XmlReaderProperty_MaxElementDepth, 2 * CLanguageFile::kMaxDepth);
    hr = reader->SetInput(static_cast<ISequentialStream*>(&stream));
    if (FAILED(hr)) {
        *error = Printed("the XML reader does not accept the file (error 0x%08lX)", static_cast<unsigned long>(hr));
        return false;
    }
    hr = TreeBuilder(document, shaped).Build(reader.Get(), stream, error) ? S_OK : E_FAIL;
    reader->SetInput(nullptr);
    return hr == S_OK;
}

} // namespace

CLanguageFile::CLanguageFile() = default;
CLanguageFile::~CLanguageFile() = default;

void CLanguageFile::SetPath(const char* path)
{
    Close();
    m_path = path ? path : "";
}

bool CLanguageFile::Open()
{
    Close();
    m_error.clear();
    if (m_path.empty()) {
        m_error = "no language file is set";
        return false;
    }
    try {
        std::unique_ptr<Document> document(new Document);
        if (!ParseFile(m_path, *document, &m_error))
            return false;
        m_document = std::move(document);
        return true;
    } catch (const std::bad_alloc&) {
        m_error = "not enough memory to read the file";
        return false;
    }
}

void CLanguageFile::Close() { m_document.reset(); }

bool CLanguageFile::IsOpen() const { return m_document != nullptr; }

int CLanguageFile::GetTag(unsigned long move, const char* name)
{
    if (!m_document)
        return 0;
    Document& doc = *m_document;
    std::uint32_t start = kNone;
    switch (move) {
    case MoveTop:
        start = doc.nodes[0].firstChild;
        break;
    case MoveFirstChild:
        if (doc.current != kNone)
            start = doc.nodes[doc.current].firstChild;
        break;
    case MoveNextSibling:
        if (doc.current != kNone)
            start = doc.nodes[doc.current].nextSibling;
        break;
    default:
        return 0;
    }
    std::uint32_t wanted = name ? doc.NameOffset(name) : kNone;
    doc.current = wanted == kNone ? kNone : doc.FindFrom(start, wanted);
    return doc.current != kNone ? 1 : 0;
}

const char* CLanguageFile::GetAttribute(const char* name) const
{
    if (!m_document || m_document->current == kNone || !name)
        return nullptr;
    const Document& doc = *m_document;
    std::uint32_t wanted = doc.NameOffset(name);
    const Document::Node& node = doc.nodes[doc.current];
    for (std::uint32_t i = 0; wanted != kNone && i < node.attributeCount; ++i) {
        const Document::Attribute& attribute = doc.attributes[node.firstAttribute + i];
        if (attribute.name == wanted)
            return doc.At(attribute.value);
    }
    return nullptr;
}

const wchar_t* CLanguageFile::GetAttributeWide(const char* name) const
{
    const char* value = GetAttribute(name);
    if (!value)
        return nullptr;
    const Document& doc = *m_document;
    const Document::Node& node = doc.nodes[doc.current];
    for (std::uint32_t i = 0; i < node.attributeCount; ++i) {
        const Document::Attribute& attribute = doc.attributes[node.firstAttribute + i];
        if (doc.At(attribute.value) == value)
            return doc.wideText.c_str() + attribute.wideValue;
    }
    return nullptr;
}

const char* CLanguageFile::GetAttributeName(unsigned long index) const
{
    if (!m_document || m_document->current == kNone)
        return nullptr;
    const Document& doc = *m_document;
    const Document::Node& node = doc.nodes[doc.current];
    return index < node.attributeCount ? doc.At(doc.attributes[node.firstAttribute + index].name) : nullptr;
}

unsigned long CLanguageFile::Place() const
{
    return m_document ? m_document->current : kNone;
}

int CLanguageFile::ReturnTo(unsigned long place)
{
    if (!m_document)
        return 0;
    Document& doc = *m_document;
    // Node 0 is the document, which is no tag.
    doc.current = place > 0 && place < doc.nodes.size() ? static_cast<std::uint32_t>(place) : kNone;
    return doc.current != kNone ? 1 : 0;
}

const char* CLanguageFile::GetTagName() const
{
    if (!m_document || m_document->current == kNone)
        return nullptr;
    return m_document->At(m_document->nodes[m_document->current].name);
}
