#include "lab/lab_page.h"

#include "methods/methods.h"
#include "ui/text.h"

QString methodLine(const LabInputs& inputs) {
    const pelorin::Method& method = inputs.chosenMethod();
    const QString started =
        pelorin::isMultistep(method)
            ? ", started by " +
                  QString::fromStdString(pelorin::startName(inputs.problem, inputs.methods))
            : QString();
    return "Method: " + fromView(method.caption) + started + ", h = " + QString::fromStdString(inputs.hText);
}
