#include "keys/SoftwareFunction.h"

#include "keys/KeyFunction.h"
#include "keys/MacroPage.h"
#include "store/ProfileStore.h"

namespace keyloft {

std::wstring WebPageAddress(const std::wstring& text) {
    if (text.find(L"www.") != std::wstring::npos) return text;
    // An address with its own scheme must stay as it is: "www.https://..." opens nothing.
    if (text.find(L"://") != std::wstring::npos || text.starts_with(L"mailto:")) return text;
    return L"www." + text;
}

bool RunKeySoftwareFunction(ProfileStore& store, int id, SoftwareFunctionHost& host) {
    std::wstring text, param;
    int type = 0;
    if (!store.GetKeyOtherData(id, text, param, type)) return false;
    switch (type) {
        case kKindProgram:
            return !param.empty() && host.ShellOpen(param);
        case kKindWebPage:
            return !text.empty() && host.ShellOpen(WebPageAddress(text));
        case kKindText:
            return !text.empty() && host.PasteText(text);
        case kKindProfileSwitch: {
            const int profile = LeadingNumber(param);
            std::vector<ProfileRecord> profiles;
            store.LoadProfiles(profiles);
            for (const ProfileRecord& p : profiles) {
                if (p.profile == profile && profile > 0) {
                    host.SwitchProfile(profile);
                    return true;
                }
            }
            return false;  // switching to a profile that does not exist would show nothing
        }
        default:
            return false;
    }
}

}  // namespace keyloft
