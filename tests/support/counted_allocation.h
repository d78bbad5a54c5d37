// Every allocation through operator new of a program that links
// counted_allocation.cpp is counted, so that a forged length that decides an
// allocation shows as a large peak. Link the source into the program itself.
#pragma once

#include <cstddef>

namespace vt::test {

// The bytes allocated and not yet released.
[[nodiscard]] std::size_t LiveBytes() noexcept;
// The highest LiveBytes since the last ResetPeak.
[[nodiscard]] std::size_t PeakBytes() noexcept;
// Starts a new peak at the bytes live now; returns them.
std::size_t ResetPeak() noexcept;

} // namespace vt::test
