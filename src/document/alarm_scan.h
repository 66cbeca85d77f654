#pragma once
// The alarm scan: finds the day items whose alarm is due and opens the alarm window for each,
// one after another, in the order month, cell, place in the day.
//
// An item is due when its alarm is on and its day minus AlarmDaysBefore days is not later than
// today; it stays due until the alarm window turns its alarm off. An alarm date that cannot be
// expressed (a day count beyond what a date record holds, as a damaged file may give) is no
// alarm.
//
// The scan lets window events run after every cell, so the user can work meanwhile. It stops
// as soon as the program leaves the state "Edit", the live document is replaced or it is asked
// to stop (StopAlarmScan). A scan asked
// for while one runs is not nested: when it comes with a new document (opening a document runs
// a scan), the new document is scanned once the running scan has stopped.

void CheckAlarms();

// Ends the running scan once the alarm window open now is answered, as when the program is
// asked to close: the items not shown yet stay due and come at the next scan. Nothing when no
// scan runs.
void StopAlarmScan();

// True while a scan runs. Window events run between its cells, so the user may meanwhile ask
// for things that must wait until it ends (closing the program).
bool AlarmScanRunning();
