#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Readers of DCON module replies (after the transport's reply check). Each returns false when
// the reply cannot be used; the caller then leaves its values as they were. A reply is read
// within its length only: it needs no terminating zero.

// Hexadecimal digits of an "@AA" status: the digital modules send four (16 inputs, or 8 outputs
// then 8 inputs).
constexpr size_t kDigitalStatusDigits = 4;

// "@AA" status: exactly kDigitalStatusDigits hexadecimal digits after the lead character. A
// refusal ("?AA"), a reply with a digit missing or too many, or anything else is refused.
bool ParseDigitalStatus(std::wstring_view reply, uint32_t& status);

// "#AAN" counter: decimal digits from the fourth character to the end of the line; a refusal
// ("?AA") or a line with anything else in it is refused.
bool ParseCounter(std::wstring_view reply, int& value);

// "#AA" analog inputs: exactly `count` fields of 7 characters after the lead character, each a
// sign and digits around a decimal point or comma. A reply with a field missing, cut or garbled,
// or a refusal ("?AA") is refused and `values` is left as it was.
bool ParseAnalog(std::wstring_view reply, size_t count, std::vector<float>& values);

// One analog field ("+05.123", "-00,500"), whatever the process locale; 0 when it holds no number.
float ParseAnalogField(std::wstring_view field);

// Output data of a digital write: bit i set when output i is on, as "%04X" or "%02X".
std::wstring DigitalOutputData(const std::vector<bool>& outputs, int digits);

// "$AA2" configuration of the addressed module: "!" AA TT CC FF (an optional carriage return
// after it). Gives the baud-rate and data-format codes CCFF that a set request copies. A reply
// from another address, a refusal or anything else is refused, so unchecked bytes never reach
// a module's line settings.
bool ParseConfiguration(std::wstring_view reply, const std::wstring& address, std::wstring& baudAndFormat);

// A link-test or reset command ("$AAM", "~AA1", "$AACN") answered by the addressed module: "!" AA
// first. A refusal ("?AA"), noise or another module's reply is no answer.
bool IsAddressedReply(std::wstring_view reply, const std::wstring& address);

// ">" alone (an optional carriage return after it): the module set its outputs ("@AA" + data).
// A module that refuses the command ("?AA") or ignores it ("!") has not.
bool IsOutputSet(std::wstring_view reply);

// "!" AA (an optional carriage return after it): the addressed module took a set command.
bool IsAcknowledged(std::wstring_view reply, const std::wstring& address);
