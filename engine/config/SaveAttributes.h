#pragma once
#include <map>
#include <string>
#include <vector>

// Saves into controller.xml: the port dialog's port ids and the mixture tab's values.

// One attribute to rewrite in the file's elements of one name, chosen by another attribute: an
// element whose key attribute names an entry of the map gets the entry's value (a new attribute
// goes after the others); the others keep theirs.
struct CAttributeRewrite {
    std::wstring element;
    std::wstring key;
    std::wstring attribute;
    std::map<std::wstring, std::wstring> values;
};

// Rewrites attributes of the file and changes nothing else in it; the file is replaced only
// once the new text is wholly written. On failure returns false with the message and error code
// (for the fatal error box, or a box of the caller's).
bool SaveAttributes(const std::wstring& file, const std::vector<CAttributeRewrite>& rewrites,
                    std::wstring& errorText, int& errorCode);

// Rewrites the id attribute of the file's port elements from the map port name -> id; a port
// the map does not name keeps its id.
// On failure returns false with the message and error code for the fatal error box.
bool SavePortIds(const std::wstring& file, const std::map<std::wstring, std::wstring>& ids,
                 std::wstring& errorText, int& errorCode);
