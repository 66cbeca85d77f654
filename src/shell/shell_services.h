#pragma once
// Small services of the main module that every part of the program calls.

#include <cstdint>

// True when a printer is installed. PrinterValue receives the device to print on: the printer
// chosen in the options for this run, or else the default printer; 0 when there is no printer.
bool CheckPrinter(int32_t& PrinterValue);
