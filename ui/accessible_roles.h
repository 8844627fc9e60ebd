// The roles screen readers announce for the program's own widget classes,
// where Qt's default for the base class would mislead: the plot is a picture,
// not a frame; the About and "Steps and errors" windows are windows, not the
// plain panels Qt reports for a top-level QWidget.
#pragma once

// Installs the roles once; every widget that has one calls it when created.
void installAccessibleRoles();
