// The program's start-up: everything main does before the event loop, kept in
// the library so that a start-up benchmark runs exactly what the program runs.
#pragma once

#include <memory>

class Form1;

// Gives the running QApplication the program's name, desktop entry and window
// icon, then creates the main window and shows it.
std::unique_ptr<Form1> startPelorin();
