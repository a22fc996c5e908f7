#pragma once

#include <QList>
#include <QPair>

class TFEditor;

// Copies between windows, field by field, overwriting (an empty source
// empties the target). Each table is written once and read both ways.

// Certificate field <-> school template field (fifteen pairs).
const QList<QPair<const char *, const char *>> &certificateTemplateFields();
// The six title-page fields, of the same names in the template.
const QList<const char *> &titlePageTemplateFields();

void vFunCopyTemplateToCertificate(const TFEditor *schoolTemplate, TFEditor *certificate);
void vFunCopyCertificateToTemplate(const TFEditor *certificate, TFEditor *schoolTemplate);
void vFunCopyTemplateToTitlePage(const TFEditor *schoolTemplate, TFEditor *titlePage);
void vFunCopyTitlePageToTemplate(const TFEditor *titlePage, TFEditor *schoolTemplate);
// A certificate's year, class and assessments into a yearly results page.
void vFunCopyCertificateToResultsPage(const TFEditor *certificate, TFEditor *resultsPage);
