// Stand-ins for procedures that other parts of the program define and that have not been
// written yet. Each does nothing (or answers as a cancelled dialog would) and goes when its
// real definition arrives.

#include "frm_main.h"
#include "main_module.h"

// The dialogs answer as if cancelled: Exchange.DialogResult stays 0.
void ShowPrintPreview(ImageItem&) {}      // FrmPrintPrev shown modally
void PrintCalendar(bool, ImageItem&) {}   // the print run
