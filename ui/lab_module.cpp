// The module's entry points (see ui/lab_module.h).
#include "ui/lab_module.h"

#include "ui/method_lab.h"

extern "C" {

Q_DECL_EXPORT QWidget* pelorinCreateMethodLab(const LabStart& start,
                                              const pelorin::Calculation& last) {
    return new MethodLab(start.boxes, start.method, last);
}

Q_DECL_EXPORT void pelorinMethodLabCalculated(QWidget* lab) {
    static_cast<MethodLab*>(lab)->calculationChanged();
}

}
