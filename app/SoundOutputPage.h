// The Adjustment dialog's "Sound output" page keeps one setting, the band-limited box: it is
// remembered between runs with QSettings under the organisation and application name "Tessolon"
// (on Linux in ~/.config/Tessolon/Tessolon.conf). What the page shows is sweep/OutputNotes.h.
#pragma once

bool StoredBandLimited();
void StoreBandLimited(bool Value);
