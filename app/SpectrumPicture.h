// The picture of a tone's spectrum: level in dB against frequency up to half the image's rate,
// with marks at 20 kHz (where adult hearing ends), at half the output device's rate (above it
// the device plays nothing) and at the main tone.
#pragma once

#include <QRectF>
#include <string>
#include <vector>

#include "sound/ToneSpectrum.h"

class QPainter;
class QRect;

// What goes under the plot besides its axis: a line saying what the output device can play
// (the file's picture stands alone; the window shows that above the picture already).
enum class TDeviceNote { Shown, Left };

// Paints the whole picture into Area. Its labels never overlap: one that finds no room is left
// out (a level label first, keeping every other level).
void PaintSpectrum(QPainter& Painter, const QRect& Area, const TSpectrumPicture& Picture,
                   TDeviceNote Note);
// The boxes of the labels PaintSpectrum draws into Area, as it places them.
std::vector<QRectF> SpectrumLabelBoxes(QPainter& Painter, const QRect& Area,
                                       const TSpectrumPicture& Picture, TDeviceNote Note);
// Writes it as a PNG file; needs no display (without a running application it starts one on
// Qt's offscreen platform for the fonts). Throws Exception when the file cannot be written.
void WriteSpectrumPng(const TSpectrumPicture& Picture, const std::string& FileName);
