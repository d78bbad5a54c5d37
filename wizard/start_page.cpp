#include "wizard/start_page.h"

#include "lang/change_language.h"
#include "lang/localized_string.h"
#include "lang/ui_language.h"
#include "support/product_constants.h"

#include <algorithm>

namespace vt {

std::wstring NativeLanguageName(int code) {
    const LANGID language = LanguageId(code);
    const LCID user = ::GetUserDefaultLCID();
    const LCID lcid = LANGIDFROMLCID(user) == language ? user : MAKELCID(language, SORT_DEFAULT);
    wchar_t name[128] = {};
    if (::GetLocaleInfoW(lcid, LOCALE_SNATIVELANGNAME, name, 128) == 0) {
        return {};
    }
    ::CharUpperBuffW(name, 1);
    return name;
}

std::wstring SituationText(const InstallSession& session) {
    const std::wstring product = product::LabelWithVersion;
    switch (session.existingInstall) {
    case ExistingInstall::SameVersion:
        return LocalizedString(1102, {product}) + L"\r\n" + LocalizedString(1104);
    case ExistingInstall::OlderVersion:
        return LocalizedString(1101, {session.installedVersionText, product});
    case ExistingInstall::NewerVersion:
        return LocalizedString(1100, {product}) + L"\r\n" +
               LocalizedString(1103, {session.installedVersionText});
    case ExistingInstall::NoInstall:
    default:
        return LocalizedString(1100, {product});
    }
}

std::wstring StartStatusText(const InstallSession& session) {
    switch (session.existingInstall) {
    case ExistingInstall::SameVersion:
        return LocalizedString(1105, {LocalizedString(1006), LocalizedString(1002)});
    case ExistingInstall::NewerVersion:
        return LocalizedString(1107, {LocalizedString(1002)});
    default:
        return LocalizedString(1106, {LocalizedString(1006)});
    }
}

CDlgStart::~CDlgStart() {
    Destroy();
}

bool CDlgStart::OnInitDialog() {
    Page::OnInitDialog();
    FillLanguageList();
    return true;
}

void CDlgStart::FillLanguageList() {
    flags_.Create(18, 12, ILC_COLOR24 | ILC_MASK, 8, 1);
    languages_.SetImageList(flags_);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    int current = -1;
    int position = 0;
    for (const OfferedLanguage& language : Languages) {
        int image = -1;
        if (HICON flag =
                static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(language.flag_icon),
                                                IMAGE_ICON, 16, 12, LR_DEFAULTCOLOR))) {
            image = flags_.Add(flag);
            ::DestroyIcon(flag);
        }
        languages_.InsertItem(position, NativeLanguageName(language.code), image, language.code);
        if (language.code == CurrentLanguage()) {
            current = position;
        }
        ++position;
    }

    // The drop-down list is as wide as its widest name, and some room for the flag.
    HWND combo = languages_.Handle();
    HDC dc = ::GetDC(combo);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    int widest = 0;
    for (int item = 0; item < languages_.Count(); ++item) {
        std::wstring text = languages_.ItemText(item);
        text.resize(std::min<std::size_t>(text.size(), 256));
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
    ::ReleaseDC(combo, dc);
    ::SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + 30), 0);
    languages_.SetCurrentSelection(current);
}

void CDlgStart::DoDataExchange(fw::DataExchange&) {
    languages_.Attach(Item(LanguageListId));
}

bool CDlgStart::OnCommand(WORD id, WORD code, HWND) {
    if (id == LanguageListId && code == CBN_SELCHANGE) {
        OnLanguageSelected();
        return true;
    }
    return false;
}

void CDlgStart::OnLanguageSelected() {
    const int position = languages_.CurrentSelection();
    if (position < 0) {
        return;
    }
    if (const std::optional<LPARAM> code = languages_.ItemData(position)) {
        ChangeLanguage(static_cast<int>(*code));
    }
}

void CDlgStart::RefreshTexts() {
    ::SetDlgItemTextW(Handle(), SituationId, SituationText(session_).c_str());
    ::SetDlgItemTextW(Handle(), StatusId, StartStatusText(session_).c_str());
    ::SetDlgItemTextW(Handle(), CopyrightId,
                      LocalizedString(1109, {product::LabelWithVersion}).c_str());
    ::SetDlgItemTextW(Handle(), LabelId, LocalizedString(1014).c_str());
}

void CDlgStart::Grow(int dx, int dy) {
    ShiftControl(LanguageListId, 0, 0, dx, 0);
    ShiftControl(CopyrightId, 0, 0, dx, 0);
    ShiftControl(SituationId, 0, 0, dx, dy);
    ShiftControl(StatusId, 0, dy, dx, 0);
}

} // namespace vt
