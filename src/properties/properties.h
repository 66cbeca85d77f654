#pragma once
// What the rest of the program calls of the document properties and the program options.

// Show the document properties dialog FrmProp / the options dialog FrmOpt modally and release
// the instance once it has closed. Closed with OK, the dialog leaves Exchange.DialogResult 1.
void RunPropertiesDialog();
void RunOptionsDialog();
