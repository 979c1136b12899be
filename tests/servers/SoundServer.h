// Real sound servers for tests, each private to the test that starts it: its own runtime
// folder, home and session bus, a null sink named "test" whose monitor the test records, and
// nothing left running when the object goes. Also the plain-ALSA set-up, where the default
// output is a plug at 48000 Hz that writes what it plays to a file.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/servers/ChildProcess.h"
#include "tests/servers/SoundAnalysis.h"
#include "tests/support/ScratchFolder.h"

enum class TServerKind { PulseAudio, PipeWire };

struct TServerSettings {
  // A PulseAudio sink at Rate; with FollowsTo, avoid-resampling lets it switch to that rate for
  // a stream of that rate when nothing else uses it.
  static TServerSettings PulseAudio(unsigned Rate, unsigned FollowsTo = 0);
  // A PipeWire graph clocked at Rate that may switch among Allowed.
  static TServerSettings PipeWire(unsigned Rate, std::vector<unsigned> Allowed);
  std::string Describe() const;  // "PipeWire at 48000 Hz (allowed 48000 96000)"

  TServerKind Kind = TServerKind::PulseAudio;
  unsigned Rate = 48000;
  unsigned FollowsTo = 0;
  std::vector<unsigned> Allowed;
};

// A scratch folder holding the private runtime folder (mode 0700), a home and a work folder
// with a copy of the shipped data, with an environment that points there and lets SDL choose
// its own driver.
class TPrivateSession {
 public:
  TPrivateSession();
  const TScratchFolder& Folder() const { return FFolder; }
  std::filesystem::path Runtime() const { return FFolder / "run"; }
  std::filesystem::path Home() const { return FFolder / "home"; }
  TEnvironment& Environment() { return FEnvironment; }
  // A tool or daemon in this session, with its output in files named after Name.
  TLaunch Launch(const std::vector<std::string>& Argv, const std::string& Name) const;
  // The program under test, in the work folder, where it finds the pest table as
  // data/para.dbf.
  TLaunch Program(const std::vector<std::string>& Args, const std::string& Name) const;
  TCommandResult RunProgram(const std::vector<std::string>& Args, const std::string& Name) const;

 private:
  TScratchFolder FFolder{"tessolon-server-"};
  TEnvironment FEnvironment;
};

class TSoundServer {
 public:
  // Starts the server and returns once pactl answers and the sink is there.
  explicit TSoundServer(const TServerSettings& Settings);
  const TServerSettings& Settings() const { return FSettings; }
  ~TSoundServer();
  TSoundServer(const TSoundServer&) = delete;
  TSoundServer& operator=(const TSoundServer&) = delete;

  const TPrivateSession& Session() const { return FSession; }
  // Ends PipeWire, WirePlumber and pipewire-pulse and starts them again; returns once the server
  // answers again.
  void Restart();
  struct TSinkState {
    unsigned Rate = 0;
    std::string State;  // RUNNING, IDLE, SUSPENDED
  };
  // The sink as pactl lists it; throws when pactl fails or hangs.
  TSinkState Sink() const;
  // The servers' own logs, for failure messages.
  std::string Logs() const;

 private:
  std::string Pactl(const std::vector<std::string>& Args) const;
  void Start();
  void WaitUntilReady();
  void Stop();

  TServerSettings FSettings;
  TPrivateSession FSession;
  std::unique_ptr<TChildProcess> FBus;
  std::vector<std::unique_ptr<TChildProcess>> FDaemons;  // stopped last-started first
  int FStarts = 0;
};

// The sink's monitor recorded by parec, as signed 16-bit stereo at Rate.
class TMonitorRecording {
 public:
  // Returns once samples arrive, so nothing played after it is missed.
  TMonitorRecording(const TSoundServer& Server, unsigned Rate, const std::string& Name);
  // Returns once at least Seconds more have been recorded.
  void WaitForMore(double Seconds);
  // Stops parec with SIGINT, so it writes what it holds, and reads the recording.
  TRecording Stop();
  double Seconds() const;

 private:
  std::string Failure(const std::string& What) const;

  const TSoundServer& FServer;
  unsigned FRate;
  std::filesystem::path FFile;
  std::unique_ptr<TChildProcess> FParec;
};

// Plain ALSA with no server: the default PCM converts to 48000 Hz s16 stereo and writes it,
// headerless, to a file.
class TAlsaFileOutput {
 public:
  static constexpr unsigned Rate = 48000;
  TAlsaFileOutput();
  const TPrivateSession& Session() const { return FSession; }
  // What the output has written since the last call: a run that never opens it leaves nothing.
  TRecording TakeWritten() const;

 private:
  TPrivateSession FSession;
};
