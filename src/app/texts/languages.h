// The text tables of the twelve languages, one file each, in key order.
#pragma once

#include "wizard_texts.h"

extern const TextTable kTextsEnglish;
extern const TextTable kTextsFrench;
extern const TextTable kTextsGerman;
extern const TextTable kTextsSpanish;
extern const TextTable kTextsItalian;
extern const TextTable kTextsPortuguese;
extern const TextTable kTextsDutch;
extern const TextTable kTextsPolish;
extern const TextTable kTextsCzech;
extern const TextTable kTextsRussian;
extern const TextTable kTextsChineseSimplified;
extern const TextTable kTextsChineseTraditional;
