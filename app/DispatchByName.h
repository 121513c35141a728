#pragma once
#include <oaidl.h>

// Puts a property or calls a method of an automation object by its name, with one argument
// (GetIDsOfNames, then Invoke with the user's default locale).
HRESULT PutPropertyByName(IDispatch* object, const wchar_t* name, VARIANT& value);
HRESULT CallByName(IDispatch* object, const wchar_t* name, VARIANT& argument);
