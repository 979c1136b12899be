#include "tests/servers/Playback.h"

#include <chrono>
#include <ctime>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>

TPlayed PlayAndRecord(const TSoundServer& Server, unsigned Rate,
                      const std::vector<std::string>& Args) {
  // Two recorders at once: on a busy machine a recorder late to read loses or pads a stretch of
  // its own, a click only it hears. What the server played reaches both, so the quieter of the
  // two is what arrived.
  TMonitorRecording First(Server, Rate, "monitor");
  TMonitorRecording Second(Server, Rate, "monitor-2");
  // When it ran and for how long: a click on a busy machine is matched against what else held
  // the machine up at that moment.
  const std::time_t Started = std::time(nullptr);
  const auto Start = std::chrono::steady_clock::now();
  TCommandResult Run = Server.Session().RunProgram(Args, "tessolon");
  const std::chrono::duration<double> Ran = std::chrono::steady_clock::now() - Start;
  First.WaitForMore(0.5);
  Second.WaitForMore(0.5);
  const TAnalysis Heard[] = {Analyse(First.Stop()), Analyse(Second.Stop())};
  const bool SecondQuieter = Heard[1].Loudest.AudibleDb < Heard[0].Loudest.AudibleDb;
  TPlayed Played{Run, Heard[SecondQuieter ? 1 : 0]};
  // The figures go to the log of every run, not only of a failing one.
  std::cout << Server.Settings().Describe() << ", tessolon";
  for (const std::string& Arg : Args) std::cout << " " << Arg;
  std::tm Local{};
  localtime_r(&Started, &Local);
  std::cout << ": " << Played.Run.Status << " (started " << std::put_time(&Local, "%T") << ", ran "
            << std::fixed << std::setprecision(1) << Ran.count() << std::defaultfloat << " s); "
            << Played.Heard.Describe()
            << " (the other recorder: " << Heard[SecondQuieter ? 0 : 1].Describe() << ")\n";
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
