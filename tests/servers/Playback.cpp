#include "tests/servers/Playback.h"

#include <iostream>
#include <map>
#include <memory>
#include <sstream>

TPlayed PlayAndRecord(const TSoundServer& Server, unsigned Rate,
                      const std::vector<std::string>& Args) {
  TMonitorRecording Monitor(Server, Rate, "monitor");
  TCommandResult Run = Server.Session().RunProgram(Args, "tessolon");
  Monitor.WaitForMore(0.5);
  TPlayed Played{Run, Analyse(Monitor.Stop())};
  // The figures go to the log of every run, not only of a failing one.
  std::cout << Server.Settings().Describe() << ", tessolon";
  for (const std::string& Arg : Args) std::cout << " " << Arg;
  std::cout << ": " << Played.Run.Status << "; " << Played.Heard.Describe() << "\n";
  return Played;
}

std::vector<std::string> ToneArgs(unsigned Hz, unsigned Milliseconds) {
  return {"tone",  "--frequency", std::to_string(Hz), "--duration", std::to_string(Milliseconds),
          "--play"};
}

const TPlayed& Reference(unsigned Hz) {
  static std::map<unsigned, std::unique_ptr<TPlayed>> Measured;
  std::unique_ptr<TPlayed>& Played = Measured[Hz];
  if (!Played) {
    const TSoundServer Server(TServerSettings::PulseAudio(96000));
    // Three seconds: the strongest of its stretches stands for it even if a busy machine made
    // the output drop out now and then.
    Played = std::make_unique<TPlayed>(PlayAndRecord(Server, 96000, ToneArgs(Hz, 3000)));
  }
  return *Played;
}

std::vector<std::string> LinesWith(const std::string& Text, const std::string& Part) {
  std::vector<std::string> Found;
  std::istringstream Lines(Text);
  for (std::string Line; std::getline(Lines, Line);)
    if (Line.find(Part) != std::string::npos) Found.push_back(Line);
  return Found;
}
