#pragma once
#include "platform/desktop.h"

class Win32Desktop final : public Desktop {
public:
    std::vector<Monitor> Monitors() const override;
};
