// The product stand-in's file association: projects ".pwproj" open in Plankwise.
#pragma once

#include <string>

namespace vt::sample {

inline constexpr wchar_t ProjectExtension[] = L".pwproj";
inline constexpr wchar_t ProjectClass[] = L"Vantorel.Plankwise.Project";

bool RegisterAssociation(const std::wstring& program);
void RemoveAssociation();

} // namespace vt::sample
