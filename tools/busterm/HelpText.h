#pragma once

extern const wchar_t kBannerText[];
extern const wchar_t kHelpText[];
extern const wchar_t kPortLine[];
