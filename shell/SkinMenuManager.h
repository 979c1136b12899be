// The one manager of all skin menus of the process. It knows every skin menu, picks the current
// one (the first that is active and allowed to paint controls), and has it paint the forms of
// the application that have no skin menu of their own: those on the screen when it becomes
// current, and those created later, which are queued as they are inserted into the application
// and handled when the event loop next turns (once they are built).
#pragma once

#include <QObject>
#include <vector>

#include "platform/core/Component.h"

class TSkinMenu;

class TSkinMenuManager : public TComponent {
 public:
  // The manager, or none while there is no skin menu.
  static TSkinMenuManager* Instance();
  // The manager, made when the first skin menu asks.
  static TSkinMenuManager& Acquire();

  void Register(TSkinMenu& Menu);
  // The last menu to go takes the manager with it.
  void Unregister(TSkinMenu& Menu);
  // Menu was switched on or off, or its choice of controls changed.
  void MenuChanged(TSkinMenu& Menu);
  // Something was inserted into the application; a form gets handled once it is built.
  void Queue(TComponent* Candidate);
  // Paints the queued forms with the current menu; failures leave a form as it is.
  void HandleQueued();

  TSkinMenu* Current() const { return FCurrent; }
  bool Handled(const TComponent& Form) const;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TSkinMenuManager();
  ~TSkinMenuManager() override;
  void ChooseCurrent(bool Requeue);
  void QueueScreenForms();

  std::vector<TSkinMenu*> FMenus;
  std::vector<TComponent*> FQueue, FHandled;
  TSkinMenu* FCurrent = nullptr;
  QObject FHook;  // carries the queued handling to the next turn of the event loop
  bool FPosted = false;
};
