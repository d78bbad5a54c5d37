// The installer's messages in the current language, with their fallbacks.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace vt {

// The string id to load for a message's base id (its French text).
[[nodiscard]] UINT LocalizedStringId(UINT base_id);

// The message in the current language.
[[nodiscard]] std::wstring LocalizedString(UINT base_id);

// The message with its inserts "%1" to "%3" replaced by the arguments.
[[nodiscard]] std::wstring LocalizedString(UINT base_id,
                                           std::initializer_list<std::wstring> inserts);

// "Installer" in the current language, optionally followed by " – Plankwise 6.07".
[[nodiscard]] std::wstring LocalizedTitle(bool with_product);

} // namespace vt
