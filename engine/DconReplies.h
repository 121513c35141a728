#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Readers of DCON module replies (after the transport's reply check). Each returns false when
// the reply cannot be used; the caller then leaves its values as they were. A reply is read
// within its length only: it needs no terminating zero.

// "@AA" status: hexadecimal digits after the lead character. A reply shorter than 4
// characters, a refusal ("?AA"), one without a digit or with more digits than a module
// sends (7) is refused.
bool ParseDigitalStatus(std::wstring_view reply, uint32_t& status);

// "#AAN" counter: a decimal number from the fourth character on; a refusal ("?AA") is refused.
bool ParseCounter(std::wstring_view reply, int& value);

// "#AA" analog inputs: fixed 7-character fields after the lead character, with a decimal
// point or comma. Fields missing from a short reply read 0; a reply under 4 characters or a
// refusal ("?AA") is refused.
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
