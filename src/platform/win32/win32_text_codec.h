#pragma once
#include "platform/text_codec.h"

// The system's ANSI code page (CP_ACP), single- or double-byte.
class Win32TextCodec final : public TextCodec {
public:
    std::string ToUtf8(std::string_view ansi) const override;
    std::string FromUtf8(std::string_view utf8, std::size_t& replaced) const override;
};
