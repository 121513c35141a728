#pragma once
#include "Value.h"
#include <cstdint>
#include <string>

class CDevice;

// Channel index of a free variable (one not bound to a device channel).
constexpr uint16_t kFreeVariableChannel = 100;

// One configured variable: an item bound to a device channel or a free variable.
struct CVariable {
    std::wstring name;
    uint16_t channel = kFreeVariableChannel;
    uint16_t reg = 0;
    int valueType = TagBoolean;  // from the first letter of its type attribute: no TagDouble
    int output = 0;
    std::wstring description;
    std::wstring formula;
    CValue* value = nullptr;
    CDevice* device = nullptr;
    uint16_t precision = 0;
    // Why the formula failed in the latest pass, in the evaluator's words; empty when it did not
    // (the value then holds the formula's result, else the value from before).
    std::wstring failure;
};
