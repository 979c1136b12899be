// The program played through a server and heard at the sink's monitor, and the figures the
// suite holds it to.
#pragma once

#include <string>
#include <vector>

#include "tests/servers/ChildProcess.h"
#include "tests/servers/SoundAnalysis.h"
#include "tests/servers/SoundServer.h"

// Nothing a listener could hear; the folded tones this suite guards against measure about -23.
constexpr double InaudibleDb = -60;
// How far a tone may stray from the same tone where nothing converts it.
constexpr double LevelToleranceDb = 3;
constexpr double FrequencyToleranceHz = 100;

struct TPlayed {
  TCommandResult Run;
  TAnalysis Heard;
};

// Runs the program with Args to its end while the monitor is recorded at Rate, from before it
// starts until half a second after it ends, so what the server still held is heard too; of two
// recorders, what the quieter one heard.
TPlayed PlayAndRecord(const TSoundServer& Server, unsigned Rate,
                      const std::vector<std::string>& Args);

// `tessolon tone --frequency Hz --duration Milliseconds --play`
std::vector<std::string> ToneArgs(unsigned Hz, unsigned Milliseconds = 1000);

// The tone of Hz as it arrives where nothing converts it: PulseAudio with its sink at 96000 Hz,
// the tone's own rate. Measured once per test process.
const TPlayed& Reference(unsigned Hz);

// The lines of Text that contain Part.
std::vector<std::string> LinesWith(const std::string& Text, const std::string& Part);
