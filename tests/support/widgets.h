// What the window tests share: finding a control by its object name, failing
// the test when it is missing.
#pragma once

#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

namespace pelorin::testing {

template <typename Widget = QWidget>
Widget* child(const QWidget& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

}  // namespace pelorin::testing
