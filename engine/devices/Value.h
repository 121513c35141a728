#pragma once
#include <cstring>
#include <string>

// The kinds of value: the tag of a CValue, and the value type of a variable (Variable.h).
enum : int { TagInteger = 0, TagFloat = 1, TagDouble = 2, TagBoolean = 3, TagString = 4 };

// The typed value of one channel or variable. The integer, boolean or float sits in the first
// four bytes of an eight-byte payload.
struct CValue {
    int tag = TagBoolean;
    union Payload {
        int i;
        int b;
        float f;
        double d;
        unsigned char raw[8];
    } payload{};
    std::wstring text;

    // Setting a value clears the record, then writes tag and payload.
    void Clear() { tag = TagInteger; std::memset(&payload, 0, sizeof payload); text.clear(); }
    void SetInteger(int v) { Clear(); tag = TagInteger; payload.i = v; }
    void SetBoolean(bool v) { Clear(); tag = TagBoolean; payload.b = v ? 1 : 0; }
    void SetFloat(float v) { Clear(); tag = TagFloat; payload.f = v; }
    void SetDouble(double v) { Clear(); tag = TagDouble; payload.d = v; }

    // The value as a number, read according to its tag (a boolean true is 1).
    double AsNumber() const
    {
        switch (tag) {
        case TagFloat: return payload.f;
        case TagDouble: return payload.d;
        case TagString: return 0.0;
        default: return payload.i;
        }
    }
};
