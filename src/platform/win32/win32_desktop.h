#pragma once
#include "platform/desktop.h"

class Win32Desktop final : public Desktop {
public:
    ScreenRect WorkArea() const override;
};
