#include "tests/servers/SoundServer.h"

#include <signal.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Generous: the machine may be busy with other builds. A PipeWire restarted while the test suites
// ran beside it once took more than 15 s before pactl had its answer.
constexpr auto ServerBound = 60s, ToolBound = 15s, ProgramBound = 60s;

void WriteFile(const fs::path& Name, const std::string& Text) {
  fs::create_directories(Name.parent_path());
  std::ofstream(Name) << Text;
}

std::string Tail(const std::string& Text, std::size_t Count = 3000) {
  return Text.size() <= Count ? Text : "..." + Text.substr(Text.size() - Count);
}

std::string PulseAudioConfiguration(const TServerSettings& Settings) {
  std::ostringstream Text;
  Text << "default-sample-rate = " << Settings.Rate << "\n"
       << "alternate-sample-rate = "
       << (Settings.FollowsTo != 0 ? Settings.FollowsTo : Settings.Rate) << "\n"
       << "avoid-resampling = " << (Settings.FollowsTo != 0 ? "yes" : "no") << "\n"
       << "exit-idle-time = -1\n"
       // PulseAudio 16 aborts now and then when a client goes while memfd blocks it handed over
       // are in flight ("Cannot send block reference with non-registered memfd ID", its issue
       // 824); POSIX shared memory does not.
       << "enable-memfd = no\n";
  return Text.str();
}

std::string PipeWireConfiguration(const TServerSettings& Settings) {
  std::ostringstream Allowed;
  for (unsigned Rate : Settings.Allowed) Allowed << Rate << " ";
  return "context.properties = { default.clock.rate = " + std::to_string(Settings.Rate) +
         " default.clock.allowed-rates = [ " + Allowed.str() +
         "] }\n"
         "context.objects = [ { factory = adapter args = { factory.name = "
         "support.null-audio-sink node.name = \"test\" media.class = \"Audio/Sink\" "
         "audio.position = [ FL FR ] monitor.channel-volumes = true object.linger = true } } ]\n";
}

}  // namespace

TServerSettings TServerSettings::PulseAudio(unsigned Rate, unsigned FollowsTo) {
  TServerSettings Settings;
  Settings.Kind = TServerKind::PulseAudio;
  Settings.Rate = Rate;
  Settings.FollowsTo = FollowsTo;
  return Settings;
}

TServerSettings TServerSettings::PipeWire(unsigned Rate, std::vector<unsigned> Allowed) {
  TServerSettings Settings;
  Settings.Kind = TServerKind::PipeWire;
  Settings.Rate = Rate;
  Settings.Allowed = std::move(Allowed);
  return Settings;
}

std::string TServerSettings::Describe() const {
  std::ostringstream Text;
  Text << (Kind == TServerKind::PulseAudio ? "PulseAudio" : "PipeWire") << " at " << Rate << " Hz";
  if (FollowsTo != 0) Text << " (avoid-resampling, alternate " << FollowsTo << ")";
  if (!Allowed.empty()) {
    Text << " (allowed";
    for (unsigned Rate : Allowed) Text << " " << Rate;
    Text << ")";
  }
  return Text.str();
}

TPrivateSession::TPrivateSession() {
  fs::create_directories(Runtime());
  fs::permissions(Runtime(), fs::perms::owner_all);  // servers refuse a runtime folder others see
  // The pulse folder exists before any server or client starts: pipewire-pulse checks for it and
  // then makes it, and a pactl started between the two makes it first, which ends the server.
  fs::create_directory(Runtime() / "pulse");
  fs::permissions(Runtime() / "pulse", fs::perms::owner_all);
  // A client must never start a server of its own: the test's is the only one.
  WriteFile(Home() / ".config/pulse/client.conf", "autospawn = no\n");
  fs::create_directories(FFolder / "work");
  fs::copy(fs::path(TESSOLON_SOURCE_DIR) / "data", FFolder / "work/data",
           fs::copy_options::recursive);
  FEnvironment = TEnvironment::Inherited();
  FEnvironment.Set("XDG_RUNTIME_DIR", Runtime()).Set("HOME", Home());
  // ctest chooses SDL's dummy driver for every suite; here SDL must find the real server. The
  // rest would lead clients and servers out of the session.
  for (const char* Name :
       {"SDL_AUDIODRIVER", "DBUS_SESSION_BUS_ADDRESS", "PULSE_SERVER", "PULSE_SINK",
        "PULSE_RUNTIME_PATH", "PIPEWIRE_REMOTE", "PIPEWIRE_RUNTIME_DIR", "XDG_CONFIG_HOME",
        "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "ALSA_CONFIG_PATH"})
    FEnvironment.Unset(Name);
}

TLaunch TPrivateSession::Launch(const std::vector<std::string>& Argv,
                                const std::string& Name) const {
  return {Argv, FEnvironment, FFolder.Path(), FFolder / (Name + ".out"), FFolder / (Name + ".err")};
}

TLaunch TPrivateSession::Program(const std::vector<std::string>& Args,
                                 const std::string& Name) const {
  TLaunch Result = Launch({fs::path(TESSOLON_BINARY_DIR) / "tessolon"}, Name);
  Result.Argv.insert(Result.Argv.end(), Args.begin(), Args.end());
  Result.Folder = FFolder / "work";
  return Result;
}

TCommandResult TPrivateSession::RunProgram(const std::vector<std::string>& Args,
                                           const std::string& Name) const {
  return RunCommand(Program(Args, Name), ProgramBound);
}

TSoundServer::TSoundServer(const TServerSettings& Settings) : FSettings(Settings) {
  const fs::path Bus = FSession.Runtime() / "bus";
  FSession.Environment().Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + Bus.string());
  FBus = std::make_unique<TChildProcess>(FSession.Launch(
      {"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + Bus.string()}, "dbus"));
  if (!WaitUntil(ServerBound, [&] { return fs::exists(Bus); }))
    throw std::runtime_error("the session bus did not start: " + ReadWholeFile(FBus->Launch().Err));
  if (FSettings.Kind == TServerKind::PulseAudio) {
    WriteFile(FSession.Home() / ".config/pulse/daemon.conf", PulseAudioConfiguration(FSettings));
    // No rewinds: a sink rewinds to play a new stream sooner, and its monitor, which has
    // already handed the rewound stretch to the recorder, then loses the stream's first
    // milliseconds (a faded tone was recorded starting at 70 % of full scale).
    WriteFile(FSession.Folder() / "server.pa",
              "load-module module-native-protocol-unix\n"
              "load-module module-null-sink sink_name=test rate=" +
                  std::to_string(FSettings.Rate) +
                  " channels=2 norewinds=1\n"
                  "set-default-sink test\n");
  } else {
    WriteFile(FSession.Home() / ".config/pipewire/pipewire.conf.d/test.conf",
              PipeWireConfiguration(FSettings));
  }
  Start();
}

TSoundServer::~TSoundServer() {
  Stop();
}

void TSoundServer::Start() {
  ++FStarts;
  const auto Daemon = [&](std::vector<std::string> Argv) {
    const std::string Name = Argv[0] + "-" + std::to_string(FStarts);
    FDaemons.push_back(std::make_unique<TChildProcess>(FSession.Launch(Argv, Name)));
  };
  if (FSettings.Kind == TServerKind::PulseAudio) {
    Daemon({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "-F",
            (FSession.Folder() / "server.pa").string(), "--use-pid-file=no",
            "--log-target=stderr"});
  } else {
    // The session manager and the pulse server give up when PipeWire is not there yet.
    Daemon({"pipewire"});
    if (!WaitUntil(ServerBound, [&] { return fs::exists(FSession.Runtime() / "pipewire-0"); }))
      throw std::runtime_error("PipeWire did not start\n" + Logs());
    Daemon({"wireplumber"});
    Daemon({"pipewire-pulse"});
  }
  // A client asks only once the server listens; after a restart the old socket may still lie
  // there, and the questions below wait for the answer they mean.
  const fs::path Socket = FSession.Runtime() / "pulse" / "native";
  const auto Listening = [&] {
    for (const auto& Daemon : FDaemons)
      if (!Daemon->Running()) return true;  // WaitUntilReady says which one ended
    return fs::exists(Socket);
  };
  if (!WaitUntil(ServerBound, Listening))
    throw std::runtime_error(FSettings.Describe() + " made no socket\n" + Logs());
  WaitUntilReady();
}

void TSoundServer::WaitUntilReady() {
  const std::string Name = FSettings.Kind == TServerKind::PulseAudio
                               ? "Server Name: pulseaudio\n"
                               : "Server Name: PulseAudio (on PipeWire ";
  std::string Last;
  bool Ended = false;
  const auto Ready = [&] {
    for (const auto& Daemon : FDaemons)
      if (!Daemon->Running()) {
        Last = Daemon->Launch().Argv[0] + " ended: " + DescribeStatus(Daemon->WaitFor(0ms));
        return Ended = true;
      }
    const TCommandResult Info = RunCommand(FSession.Launch({"pactl", "info"}, "pactl"), ToolBound);
    Last = Info.Status + "\n" + Info.Out + Info.Err;
    // The program plays to the default sink, which the session manager may name late.
    return Info.ExitStatus == 0 && Info.Out.find(Name) != std::string::npos &&
           Info.Out.find("Default Sink: test\n") != std::string::npos && Sink().Rate != 0;
  };
  if (!WaitUntil(ServerBound, Ready) || Ended)
    throw std::runtime_error(FSettings.Describe() + " is not ready: " + Last + "\n" + Logs());
}

void TSoundServer::Stop() {
  while (!FDaemons.empty()) FDaemons.pop_back();
}

void TSoundServer::Restart() {
  Stop();
  Start();
}

std::string TSoundServer::Pactl(const std::vector<std::string>& Args) const {
  std::vector<std::string> Argv{"pactl"};
  Argv.insert(Argv.end(), Args.begin(), Args.end());
  const TCommandResult Result = RunCommand(FSession.Launch(Argv, "pactl"), ToolBound);
  if (Result.ExitStatus != 0)
    throw std::runtime_error("pactl failed (" + Result.Status + "): " + Result.Err);
  return Result.Out;
}

TSoundServer::TSinkState TSoundServer::Sink() const {
  // index, name, driver, "s16le 2ch 48000Hz", state
  std::istringstream Lines(Pactl({"list", "sinks", "short"}));
  for (std::string Line; std::getline(Lines, Line);) {
    std::vector<std::string> Fields;
    std::istringstream Columns(Line);
    for (std::string Field; std::getline(Columns, Field, '\t');) Fields.push_back(Field);
    if (Fields.size() < 5 || Fields[1] != "test") continue;
    const auto Space = Fields[3].rfind(' ');
    return {unsigned(std::stoul(Fields[3].substr(Space + 1))), Fields[4]};
  }
  return {};
}

std::string TSoundServer::Logs() const {
  std::string Text;
  for (const auto& Daemon : FDaemons)
    Text += "--- " + Daemon->Launch().Argv[0] + ":\n" + Tail(ReadWholeFile(Daemon->Launch().Err));
  return Text;
}

TMonitorRecording::TMonitorRecording(const TSoundServer& Server, unsigned Rate,
                                     const std::string& Name)
    : FServer(Server), FRate(Rate), FFile(Server.Session().Folder() / (Name + ".out")) {
  // A recording of the same name made before must not count as this one's first samples: the
  // wait below would return before parec had truncated it, and the one after would wait for as
  // much again as the old file held (retried recordings grew by two seconds each).
  fs::remove(FFile);
  FParec = std::make_unique<TChildProcess>(
      Server.Session().Launch({"parec", "-d", "test.monitor", "--latency-msec=20", "--format=s16le",
                               "--rate=" + std::to_string(Rate), "--channels=2"},
                              Name));
  if (!WaitUntil(ServerBound, [&] { return Seconds() > 0 || !FParec->Running(); }) ||
      !FParec->Running())
    throw std::runtime_error(Failure("records nothing"));
}

std::string TMonitorRecording::Failure(const std::string& What) const {
  std::string Sink;
  try {
    const TSoundServer::TSinkState State = FServer.Sink();
    Sink = State.State + " at " + std::to_string(State.Rate) + " Hz";
  } catch (const std::exception& E) {
    Sink = E.what();
  }
  return "parec " + What + " after " + std::to_string(Seconds()) + " s (" +
         DescribeStatus(FParec->WaitFor(0ms)) + "; sink " + Sink +
         "): " + ReadWholeFile(FParec->Launch().Err) + "\n" + FServer.Logs();
}

double TMonitorRecording::Seconds() const {
  std::error_code Missing;
  const auto Bytes = fs::file_size(FFile, Missing);
  return Missing ? 0 : double(Bytes) / (4.0 * FRate);
}

void TMonitorRecording::WaitForMore(double More) {
  const double Target = Seconds() + More;
  const auto Bound = ServerBound + std::chrono::milliseconds(long(More * 1000));
  if (!WaitUntil(std::chrono::duration_cast<std::chrono::milliseconds>(Bound),
                 [&] { return Seconds() >= Target; }))
    throw std::runtime_error(Failure("stopped recording"));
}

TRecording TMonitorRecording::Stop() {
  FParec->Signal(SIGINT);
  FParec->WaitFor(ToolBound);
  FParec.reset();
  return ReadRawS16(FFile, FRate, 2);
}

TAlsaFileOutput::TAlsaFileOutput() {
  // The slave's rate is fixed, so the plug converts whatever the program opens at.
  WriteFile(FSession.Home() / ".asoundrc",
            "pcm.!default {\n"
            "  type plug\n"
            "  slave { pcm \"tessolon_file\" rate " +
                std::to_string(Rate) +
                " format S16_LE channels 2 }\n"
                "}\n"
                "pcm.tessolon_file {\n"
                "  type file\n"
                "  slave.pcm \"null\"\n"
                "  file \"" +
                (FSession.Folder() / "alsa-output.raw").string() +
                "\"\n"
                "  format \"raw\"\n"
                "}\n");
  FSession.Environment().Set("SDL_AUDIODRIVER", "alsa");
}

TRecording TAlsaFileOutput::TakeWritten() const {
  const fs::path File = FSession.Folder() / "alsa-output.raw";
  TRecording Written = ReadRawS16(File, Rate, 2);
  fs::remove(File);
  return Written;
}
