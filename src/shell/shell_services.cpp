#include "shell_services.h"

#include "platform/printers.h"
#include "settings.h"

bool CheckPrinter(int32_t& PrinterValue) {
    PrinterValue = 0;
    if (rt::PrintersCount() <= 0) return false;
    if (Settings.PrinterValue != 0) {
        PrinterValue = Settings.PrinterValue;
    } else {
        // The default printer is opened once and keeps its handle for the run.
        const auto device = rt::defaultPrinter();
        PrinterValue = device ? device->hDC() : 0;
    }
    return true;
}
