#include "export/connection_text.hpp"

namespace kelvara::exporting {
namespace {

std::string attributeValue(const std::string& value) {
    const bool needsBraces = value.find(';') != std::string::npos || (!value.empty() && value[0] == '{');
    if (!needsBraces) {
        return value;
    }
    std::string braced = "{";
    for (const char c : value) {
        braced += c;
        if (c == '}') {
            braced += '}';
        }
    }
    braced += '}';
    return braced;
}

} // namespace

std::string buildConnectionText(const std::string& databasePath, const std::string& userName,
                                const std::string& password) {
    std::string text = "ODBC;DRIVER={";
    text += kAccessDriverName;
    text += "};DSN='';DBQ=";
    text += attributeValue(databasePath);
    if (!userName.empty()) {
        text += ";UID=";
        text += attributeValue(userName);
    }
    if (!password.empty()) {
        text += ";PWD=";
        text += attributeValue(password);
    }
    return text;
}

} // namespace kelvara::exporting
