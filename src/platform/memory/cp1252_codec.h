#pragma once
#include "platform/text_codec.h"

// The Western European code page 1252, the ANSI code page of an English
// Windows; the fake of the system code page in native tests.
class Cp1252Codec final : public TextCodec {
public:
    std::string ToUtf8(std::string_view ansi) const override;
    std::string FromUtf8(std::string_view utf8, std::size_t& replaced) const override;
};
