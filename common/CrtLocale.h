#pragma once
#include <locale.h>

// Owns a C runtime locale object (_create_locale), for number formats that must not follow
// whatever locale the process has set globally.
class CCrtLocale {
public:
    CCrtLocale(int category, const char* name) : m_locale(::_create_locale(category, name)) {}
    ~CCrtLocale() { if (m_locale) ::_free_locale(m_locale); }
    CCrtLocale(const CCrtLocale&) = delete;
    CCrtLocale& operator=(const CCrtLocale&) = delete;

    operator _locale_t() const { return m_locale; }

private:
    _locale_t m_locale;
};
