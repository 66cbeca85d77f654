#pragma once
// Record comparisons: true when two records differ in what the user can edit. Keys, modified
// flags, the tick of a day item, its picture object and its source key take no part. Texts
// compare exactly, numbers and flags as stored (-1 and 1 differ), dates field by field.

#include "records.h"

bool CompareAEItem(const AEItem& A, const AEItem& B);
bool CompareBDItem(const BDItem& A, const BDItem& B);
// Pictures compare by identity (their handles), not by content; when either record holds no
// picture object, FileName, Mode and UseDefault decide alone.
bool CompareImageItem(const ImageItem& A, const ImageItem& B);
bool CompareColourSet(const ColourSet& A, const ColourSet& B);
bool CompareDEItem(const DEItem& A, const DEItem& B);
bool CompareEVItem(const EVItem& A, const EVItem& B);
