// Texts of the core (UTF-8 std::string_view) as Qt shows them.
#pragma once

#include <QString>

#include <string_view>

inline QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
