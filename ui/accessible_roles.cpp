#include "ui/accessible_roles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, QAccessible::Role>, 3> roles{{
    {"PlotWidget", QAccessible::Graphic},
    {"StepsWindow", QAccessible::Window},
    {"Form_About", QAccessible::Window},
}};

QAccessibleInterface* accessibleWithRole(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    for (const auto& [name, role] : roles) {
        if (className == QLatin1String(name)) {
            return new QAccessibleWidget(static_cast<QWidget*>(object), role);
        }
    }
    return nullptr;
}

}  // namespace

void installAccessibleRoles() {
    static const bool installed = (QAccessible::installFactory(accessibleWithRole), true);
    Q_UNUSED(installed);
}
