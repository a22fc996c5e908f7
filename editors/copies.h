#pragma once

#include "document/templatestore.h"

class TFEditor;

// Copies between windows, field by field, overwriting (an empty source
// empties the target). The field tables are the template's
// (document/templatestore.h), read both ways.

void vFunCopyTemplateToCertificate(const TFEditor *schoolTemplate, TFEditor *certificate);
void vFunCopyCertificateToTemplate(const TFEditor *certificate, TFEditor *schoolTemplate);
void vFunCopyTemplateToTitlePage(const TFEditor *schoolTemplate, TFEditor *titlePage);
void vFunCopyTitlePageToTemplate(const TFEditor *titlePage, TFEditor *schoolTemplate);
// A certificate's year, class and assessments into a yearly results page.
void vFunCopyCertificateToResultsPage(const TFEditor *certificate, TFEditor *resultsPage);
