#pragma once
// Writing a document as a ".cal" file.

#include "records.h"

#include <QByteArray>
#include <QString>

// Writes Doc as the ".cal" archive FileName: "caldata.cal" (encrypted with Doc.Password when
// there is one) and, when Doc embeds its pictures, the picture entries. Shows the loading
// captions and the hourglass, and reports a failure in the document error message with Retry
// (which starts the write again from the beginning) and Cancel. The archive replaces an
// earlier file of that name only once it is complete. True when written: Doc.FileName and
// CurDoc.FileName then become FileName. False after Cancel, with both names unchanged.
bool SaveCalFile(const QString& FileName, CalDocument& Doc);

// The text of "caldata.cal" for Doc, in the current layout.
QByteArray WriteCalData(const CalDocument& Doc);
