// Loading and walking the shipped K1 layout (every key and every attribute the
// program reads) with XmlDocument, and for comparison with pugixml and libxml2.
// Each iteration reads the file from disk, as the program does.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <pugixml.hpp>
#include <string>

#include "config/XmlDocument.h"

namespace {

const std::string kLayout = std::string(KEYLOFT_SOURCE_DIR) + "/data/layouts/K1.xml";
const wchar_t* const kKeyAttributes[] = {L"code", L"name", L"desc", L"key_index", L"fnlayer_disable",
                                         L"row_col", L"rect"};
const char* const kKeyAttributesNarrow[] = {"code", "name", "desc", "key_index", "fnlayer_disable",
                                            "row_col", "rect"};

void BM_XmlDocument(benchmark::State& state) {
    for (auto _ : state) {
        keyloft::XmlDocument doc;
        if (!doc.LoadFile(kLayout)) state.SkipWithError("load failed");
        std::size_t total = 0;
        doc.FindElement(L"device.info");
        doc.EnterElement();
        if (doc.FindElement(L"light")) {
            doc.EnterElement();
            while (doc.FindElement(L"info")) total += doc.GetAttribute(L"name").size();
            doc.LeaveElement();
        }
        doc.FindElement(L"Keyboard");
        doc.EnterElement();
        doc.FindElement(L"KeyItems");
        doc.EnterElement();
        while (doc.FindElement(L"key")) {
            for (const wchar_t* a : kKeyAttributes) total += doc.GetAttribute(a).size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_XmlDocument);

void BM_Pugixml(benchmark::State& state) {
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_file(kLayout.c_str())) state.SkipWithError("load failed");
        std::size_t total = 0;
        pugi::xml_node root = doc.child("device.info");
        for (pugi::xml_node info : root.child("light").children("info")) total += std::strlen(info.attribute("name").value());
        for (pugi::xml_node key : root.child("Keyboard").child("KeyItems").children("key")) {
            for (const char* a : kKeyAttributesNarrow) total += std::strlen(key.attribute(a).value());
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_Pugixml);

const xmlNode* Child(const xmlNode* parent, const char* name) {
    for (const xmlNode* n = parent ? parent->children : nullptr; n; n = n->next) {
        if (n->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(n->name), name) == 0) return n;
    }
    return nullptr;
}

void BM_Libxml2(benchmark::State& state) {
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadFile(kLayout.c_str(), nullptr, XML_PARSE_NONET);
        if (!doc) {
            state.SkipWithError("load failed");
            break;
        }
        std::size_t total = 0;
        const xmlNode* root = xmlDocGetRootElement(doc);
        const xmlNode* light = Child(root, "light");
        for (const xmlNode* n = light ? light->children : nullptr; n; n = n->next) {
            if (n->type != XML_ELEMENT_NODE) continue;
            xmlChar* v = xmlGetProp(n, BAD_CAST "name");
            if (v) total += std::strlen(reinterpret_cast<char*>(v));
            xmlFree(v);
        }
        const xmlNode* items = Child(Child(root, "Keyboard"), "KeyItems");
        for (const xmlNode* n = items ? items->children : nullptr; n; n = n->next) {
            if (n->type != XML_ELEMENT_NODE) continue;
            for (const char* a : kKeyAttributesNarrow) {
                xmlChar* v = xmlGetProp(n, BAD_CAST a);
                if (v) total += std::strlen(reinterpret_cast<char*>(v));
                xmlFree(v);
            }
        }
        xmlFreeDoc(doc);
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_Libxml2);

}  // namespace
