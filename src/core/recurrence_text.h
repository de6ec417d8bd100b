#pragma once
#include <cstdint>
#include <string>

#include "core/locale_names.h"

// One-line description of a rule; leaves text as it was for kinds 150 and above.
void DescribeRecurrence(std::uint8_t recurKind, std::uint16_t recurPattern, std::uint8_t recurInterval,
                        std::string& text, const LocaleNames& names);
