#include "platform/qt/Application.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <iostream>

#include "platform/qt/Forms.h"

TApplication* Application = nullptr;

std::string ErrorBoxText(const std::string& Message) {
  if (!Message.empty() && static_cast<unsigned char>(Message.back()) > '.') return Message + ".";
  return Message;
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  Application = this;
}

TApplication::~TApplication() {
  // Forms go while the application object is still reachable by their handlers.
  DestroyComponents();
  if (Application == this) Application = nullptr;
}

void TApplication::SetTitle(const std::string& Value) {
  FTitle = Value;
  if (qApp) QApplication::setApplicationDisplayName(QString::fromStdString(Value));
}

void TApplication::InitForm(TForm& Form) {
  if (!FMainForm) FMainForm = &Form;
  Form.LoadDefinition();
  Form.DoCreate();
}

void TApplication::Run() {
  if (!FMainForm || FTerminated) return;
  // Hiding every window (the tray) must not end the program; closing the main form does.
  QApplication::setQuitOnLastWindowClosed(false);
  FMainForm->Show();
  if (!FTerminated) QApplication::exec();
}

void TApplication::Terminate() {
  FTerminated = true;
  // Without a running loop, exit() would make every later loop return at once.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleException(std::exception_ptr Error) {
  std::string Message;
  try {
    std::rethrow_exception(Error);
  } catch (const EAbort&) {
    return;
  } catch (const std::exception& E) {
    Message = E.what();
  } catch (...) {
    Message = "Unknown error";
  }
  if (FErrorBoxOpen) {
    ++FDroppedErrors;
    return;
  }
  ShowErrorBox(ErrorBoxText(Message));
}

void TApplication::ShowErrorBox(const std::string& Text) {
  if (!qApp) {
    std::cerr << FTitle << ": " << Text << '\n';
    return;
  }
  struct TOpenFlag {
    bool& Flag;
    explicit TOpenFlag(bool& F) : Flag(F) { Flag = true; }
    ~TOpenFlag() { Flag = false; }
  } Open(FErrorBoxOpen);
  QMessageBox Box(QMessageBox::Critical, QString::fromStdString(FTitle),
                  QString::fromStdString(Text), QMessageBox::Ok);
  Box.exec();
}

void TApplication::PostException(std::exception_ptr Error) {
  QTimer::singleShot(0, qApp, [Error] {
    if (Application) Application->HandleException(Error);
  });
}

void TApplication::DispatchEvent(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

void DispatchEvent(const std::function<void()>& Handler) {
  if (Application) {
    Application->DispatchEvent(Handler);
    return;
  }
  try {
    Handler();
  } catch (const std::exception& E) {
    std::cerr << E.what() << '\n';
  } catch (...) {
    std::cerr << "Unknown error\n";
  }
}
