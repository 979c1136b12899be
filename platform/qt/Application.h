// The application object: title, forms, message loop, and the error box for exceptions that
// escape event handlers. One instance, reachable through the global Application.
//
// Event dispatch: every place that runs user handlers from Qt (clicks, timer ticks, show and
// close events) goes through DispatchEvent, so an exception ends in HandleException instead of
// unwinding through Qt.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "platform/core/Component.h"

class TForm;

// The error box's text: the message, with a full stop added when its last character sorts
// after "." (letters, digits, non-ASCII), none after "." or ")".
std::string ErrorBoxText(const std::string& Message);

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner = nullptr);
  ~TApplication() override;

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value);

  // Creates a form owned by the application from its stored definition (see TForm); the first
  // one created is the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    T* Form = new T(this);
    Reference = Form;
    try {
      InitForm(*Form);
    } catch (...) {
      Reference = nullptr;
      delete Form;
      throw;
    }
  }
  TForm* MainForm() const { return FMainForm; }

  // Shows the main form and runs the message loop until it closes (or Terminate).
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles the pending messages and returns, for code that waits.
  void ProcessMessages();

  // EAbort ends silently; any other exception shows the error box. While a box is open,
  // further failures are dropped: a timer failing at every tick would otherwise stack boxes.
  void HandleException(std::exception_ptr Error);
  // Handles Error once the current event has been dealt with. Timer ticks use it: Qt holds a
  // timer back while its own handler runs, and the box's loop must not stop the ticks.
  void PostException(std::exception_ptr Error);
  // Runs Handler, sending any exception to HandleException.
  void DispatchEvent(const std::function<void()>& Handler);
  bool ErrorBoxOpen() const { return FErrorBoxOpen; }
  int DroppedErrors() const { return FDroppedErrors; }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void InitForm(TForm& Form);
  void ShowErrorBox(const std::string& Message);

  std::string FTitle;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FErrorBoxOpen = false;
  int FDroppedErrors = 0;
};

// The one application object (set while a TApplication exists).
extern TApplication* Application;

// Runs Handler under the application's exception handling; without an application object the
// message goes to stderr.
void DispatchEvent(const std::function<void()>& Handler);
