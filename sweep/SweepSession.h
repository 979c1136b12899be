// One sweep as the windows and the `sweep` command run it: the settings it plays with, where it
// stands, the hours it keeps to and the clock it reads them by. Whoever paces it calls Tick() (the
// dialog's timer, the command's loop); whoever shows or tells it observes it (the dialog's band
// bar and timer, the main window's status, the command's terminal lines and service log). No Qt.
//
//   TSweepSession Session(Table, ToneGen, Output);
//   Session.Select(Key);  // the record the selector made current
//   Session.Start();
//   while (...) Session.Tick();
//   Session.Stop();
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/data/Variant.h"
#include "sweep/Schedule.h"
#include "sweep/Sweep.h"
#include "sweep/SweepLevel.h"

class TDataSet;
class TToneGen;
struct TOutputChain;

// What a session tells those who watch it. Each is told after the change.
class ISweepObserver {
 public:
  virtual ~ISweepObserver() = default;
  // The band, position, step or interval changed: a selection (also one that failed part way), a
  // tick, or a move of the position from outside.
  virtual void StateChanged(const TSweepState&) {}
  // A selection was applied whole.
  virtual void Selected() {}
  virtual void RunningChanged(bool) {}
  // Tick Number (counted from 1 at each start) played Position, or failed there with Message.
  virtual void Ticked(long long /*Number*/, int /*Position*/) {}
  virtual void TickFailed(long long /*Number*/, int /*Position*/, const std::string& /*Message*/) {}
  // Why the ticks stay silent, in a few words ("waiting for 22:00", "silent: output at 48000 Hz"),
  // or empty when they play again; told only when it changes, and forgotten at Stop. Outside the
  // hours always told; the output's reasons only by a session asked to watch the output.
  virtual void SilenceChanged(const std::string&) {}
  // What the sweep's tones carry into hearing ("-16 dBFS audible") and its class ("audible"), or
  // both empty when nothing is known; told only when it changes, and forgotten at Stop. Only a
  // session asked to watch the output tells it.
  virtual void LevelChanged(const std::string& /*Level*/, const std::string& /*Class*/) {}
};

class TSweepSession {
 public:
  // Table's current record is the profile; Output plays on ToneGen (or records it).
  TSweepSession(TDataSet& Table, TToneGen& ToneGen, ISweepOutput& Output);
  ~TSweepSession();
  TSweepSession(const TSweepSession&) = delete;
  TSweepSession& operator=(const TSweepSession&) = delete;

  // Observers are told in the order they were added; each must outlive the session or be removed.
  void AddObserver(ISweepObserver& Observer);
  void RemoveObserver(ISweepObserver& Observer);

  const TSweepSettings& Settings() const { return FSettings; }
  // Takes effect from the next tick; band-limited and ultrasound-only synthesis at once, and a
  // running sweep moved to the other output silences the one it leaves.
  void SetSettings(const TSweepSettings& Settings);
  const TSweepState& State() const { return FState; }
  // The state before any selection (the stored dialog's).
  void SetState(const TSweepState& State);
  // Moves the position within the band; the next tick steps on from there.
  void SetPosition(int Position);
  // The hours the ticks play in; none: all hours.
  void SetSchedule(const std::optional<TSchedule>& Schedule) { FSchedule = Schedule; }
  void SetClock(const TClock& Clock) { FClock = &Clock; }
  // Whether the session asks the sound card's output after each tick why it stayed silent and
  // what the tones carry into hearing, and tells both (the windows do; the command's report asks
  // on its own, and an export asks the output nothing).
  void WatchOutput(bool Watch) { FWatchOutput = Watch; }

  // Applies the profile with key Key (the current record when it has that key, else the first
  // record that has it; a null key: the current record) to the state and the output. An empty
  // field raises the table's conversion error, with what was applied before it kept.
  void Select(const TVariant& Key);
  void Start();
  // Plays the next position and answers it; none while outside the hours, when the output is
  // silenced once. An error (an empty field, a refused speaker tone) is told and raised; the
  // position stays where it was refused.
  std::optional<int> Tick();
  // Ends the ticks and silences the output.
  void Stop();
  bool Running() const { return FRunning; }
  // The ticks since the start, played or failed.
  long long Ticks() const { return FTicks; }
  // Silences the output the settings choose, running or not.
  void Silence();

  TPestRecord Record() const { return TPestRecord(FTable); }
  // The positions one pass through the band plays from here.
  std::vector<int> PassPositions() const;
  // What one pass carries into hearing on Chain, measured once per tone and pass; none without
  // the sound card or when the record cannot say (an empty field).
  const TSweepLevel* PassLevel(const TOutputChain& Chain);

 private:
  template <class Call>
  void Tell(Call&& Notify);
  void TellSilence(const std::string& Reason);
  void TellLevel();
  bool Waiting() const;

  TDataSet& FTable;
  TToneGen& FToneGen;
  TSweepEngine FEngine;
  TSweepSettings FSettings;
  TSweepState FState;
  std::optional<TSchedule> FSchedule;
  const TClock* FClock = &SystemClock();
  std::vector<ISweepObserver*> FObservers;
  std::unique_ptr<TSweepLevelMeter> FLevelMeter;
  bool FRunning = false, FWaiting = false, FWatchOutput = false;
  long long FTicks = 0;
  std::string FSilence, FLevel;  // what the observers were last told
};
