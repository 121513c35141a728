#include "Device.h"

CDevice::CDevice(int kind, const wchar_t* keyword, const wchar_t* description, uint16_t inputCount,
                 uint16_t outputCount, int initialTag)
    : kind(kind), keyword(keyword), description(description), inputCount(inputCount), outputCount(outputCount)
{
    CValue initial;
    initial.Clear();
    initial.tag = initialTag;
    inputs.assign(inputCount, initial);
    outputs.assign(outputCount, initial);
}
