#pragma once
#include "Device.h"
#include <memory>
#include <string>

// The device object for a type keyword ("ICP7017", "IVA8", ...); null for an unknown keyword.
std::unique_ptr<CDevice> CreateDevice(const std::wstring& keyword);
