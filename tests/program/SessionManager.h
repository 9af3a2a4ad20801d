// A desktop's session manager, as far as the tests need one: programs
// started with its address register with it, and it can ask them to save,
// as a desktop does before logging out.
#pragma once

#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class SessionManager {
 public:
  SessionManager();
  SessionManager(const SessionManager&) = delete;
  SessionManager& operator=(const SessionManager&) = delete;
  ~SessionManager();

  // Listens for programs; false, with why(), when it cannot.
  bool Listen();
  const QString& why() const { return why_; }
  // For SESSION_MANAGER in a program's environment.
  const QString& address() const { return address_; }

  // Answers the programs until probe holds or the time is up.
  bool ServeUntil(const std::function<bool()>& probe, std::chrono::milliseconds limit);
  bool registered() const;
  // Asks the registered program to save, without ending the session, and
  // waits for it to say it is done: true if it saved.
  bool AskToSave(std::chrono::milliseconds limit);

  struct State;

 private:
  std::unique_ptr<State> state_;
  QString address_;
  QString why_;
};
