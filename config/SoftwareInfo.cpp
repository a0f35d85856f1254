#include "config/SoftwareInfo.h"

#include "config/XmlDocument.h"

namespace keyloft {

std::wstring ReadSoftwareName(const std::string& configPath) {
    XmlDocument doc;
    if (!doc.LoadFile(configPath)) return {};
    if (!doc.FindElement(L"config") || !doc.EnterElement() || !doc.FindElement(L"software")) return {};
    return doc.GetAttribute(L"name");
}

void ReadSoftwareInfo(XmlDocument& doc, SoftwareInfo& info) {
    info = SoftwareInfo{};
    if (!doc.FindElement(L"software")) return;
    info.name = doc.GetAttribute(L"name");
    info.version = doc.GetAttribute(L"version");
    doc.EnterElement();
    if (doc.FindElement(L"website")) info.website = doc.GetAttribute(L"url");
    if (doc.FindElement(L"store")) info.store = doc.GetAttribute(L"url");
    if (doc.FindElement(L"upgrade")) info.upgrade = doc.GetAttribute(L"url");
    if (doc.FindElement(L"copyright")) info.notice = doc.GetAttribute(L"info");
    doc.LeaveElement();
}

}  // namespace keyloft
