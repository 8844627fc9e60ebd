#include "lab/lab_page.h"

#include "methods/methods.h"
#include "ui/text.h"

QString methodLine(const LabInputs& inputs) {
    return "Method: " + fromView(pelorin::labCatalogue[inputs.method].caption) + ", h = " +
           QString::fromStdString(inputs.hText);
}
