#pragma once

extern const wchar_t* const kHelpText;
