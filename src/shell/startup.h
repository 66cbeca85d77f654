#pragma once

// The program's start-up procedure. Returns false when the program is to end at once.
bool Main();
