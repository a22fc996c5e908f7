#pragma once

#include "document/documents.h"
#include "document/fieldsource.h"

// The sample texts that show every field of a printed form at its place,
// for the calibration preview (data/samples.txt). They never pass through
// an editor window, so they cannot end up in a pupil's document.

// Whether the document has sample texts (one document per printed form).
bool bFunHasSampleTexts(const DocumentInfo &doc);

// The document filled with its sample texts; a document without samples is
// the blank document.
RecordFieldSource sampleFieldSource(const DocumentInfo &doc);
