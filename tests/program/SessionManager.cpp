#include "tests/program/SessionManager.h"

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tests/program/Desktop.h"

// Last: the X headers define words such as Bool that Qt's headers use.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

struct SessionManager::State {
  std::vector<IceListenObj> listeners;
  IceListenObj* listenersAsGiven = nullptr;  // IceFreeListenObjs frees this too
  std::vector<IceConn> connections;
  SmsConn client = nullptr;
  int savesDone = 0;
  bool saved = false;
};

namespace {

using State = SessionManager::State;

// Programs on this machine need no cookie; no one else gets in.
Bool AnyLocalHost(char* host) { return std::strncmp(host, "local/", 6) == 0; }

Status RegisterClient(SmsConn client, SmPointer data, char*) {
  auto* state = static_cast<State*>(data);
  char* id = SmsGenerateClientID(client);
  const Status replied = SmsRegisterClientReply(client, id);
  std::free(id);
  state->client = client;
  return replied;
}

void SaveYourselfDone(SmsConn, SmPointer data, Bool success) {
  auto* state = static_cast<State*>(data);
  state->saved = success;
  ++state->savesDone;
}

void CloseConnection(SmsConn client, SmPointer data, int count, char** reasons) {
  auto* state = static_cast<State*>(data);
  if (state->client == client) state->client = nullptr;
  SmFreeReasons(count, reasons);
  SmsCleanUp(client);
}

void SetProperties(SmsConn, SmPointer, int count, SmProp** properties) {
  for (int i = 0; i < count; ++i) SmFreeProperty(properties[i]);
  std::free(properties);
}

void DeleteProperties(SmsConn, SmPointer, int count, char** names) {
  for (int i = 0; i < count; ++i) std::free(names[i]);
  std::free(names);
}

void GetProperties(SmsConn client, SmPointer) { SmsReturnProperties(client, 0, nullptr); }
void Interact(SmsConn client, SmPointer, int) { SmsInteract(client); }
void InteractDone(SmsConn, SmPointer, Bool) {}
void SaveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}
void Phase2(SmsConn client, SmPointer) { SmsSaveYourselfPhase2(client); }

// Every program that connects is answered by the one manager of the test.
State* current = nullptr;

Status NewClient(SmsConn, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**) {
  *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
          SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
          SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask |
          SmsGetPropertiesProcMask;
  callbacks->register_client = {RegisterClient, current};
  callbacks->interact_request = {Interact, current};
  callbacks->interact_done = {InteractDone, current};
  callbacks->save_yourself_request = {SaveYourselfRequest, current};
  callbacks->save_yourself_phase2_request = {Phase2, current};
  callbacks->save_yourself_done = {SaveYourselfDone, current};
  callbacks->close_connection = {CloseConnection, current};
  callbacks->set_properties = {SetProperties, current};
  callbacks->delete_properties = {DeleteProperties, current};
  callbacks->get_properties = {GetProperties, current};
  return 1;
}

}  // namespace

SessionManager::SessionManager() : state_(std::make_unique<State>()) {}

SessionManager::~SessionManager() {
  for (IceConn connection : state_->connections) IceCloseConnection(connection);
  if (state_->listenersAsGiven)
    IceFreeListenObjs(static_cast<int>(state_->listeners.size()), state_->listenersAsGiven);
  if (current == state_.get()) current = nullptr;
}

bool SessionManager::Listen() {
  char error[256] = "";
  // The protocol is registered once for the whole test program.
  static const bool initialised = SmsInitialize("velmaro-tests", "1", NewClient, nullptr, AnyLocalHost,
                                                sizeof error, error);
  if (!initialised) {
    why_ = QStringLiteral("no session manager protocol: %1").arg(error);
    return false;
  }
  current = state_.get();
  int count = 0;
  IceListenObj* listeners = nullptr;
  if (!IceListenForConnections(&count, &listeners, sizeof error, error) || count == 0) {
    why_ = QStringLiteral("cannot listen: %1").arg(error);
    return false;
  }
  state_->listeners.assign(listeners, listeners + count);
  state_->listenersAsGiven = listeners;
  for (IceListenObj listener : state_->listeners) IceSetHostBasedAuthProc(listener, AnyLocalHost);
  char* ids = IceComposeNetworkIdList(count, state_->listeners.data());
  address_ = QString::fromLocal8Bit(ids);
  std::free(ids);
  return true;
}

bool SessionManager::ServeUntil(const std::function<bool()>& probe, std::chrono::milliseconds limit) {
  return WaitUntil([&] {
    std::vector<pollfd> ends;
    for (IceListenObj listener : state_->listeners) ends.push_back({IceGetListenConnectionNumber(listener), POLLIN, 0});
    for (IceConn connection : state_->connections) ends.push_back({IceConnectionNumber(connection), POLLIN, 0});
    ::poll(ends.data(), ends.size(), 20);
    const std::size_t listening = state_->listeners.size();
    for (std::size_t i = 0; i < ends.size(); ++i) {
      if (!(ends[i].revents & (POLLIN | POLLHUP))) continue;
      if (i < listening) {
        IceAcceptStatus status;
        if (IceConn connection = IceAcceptConnection(state_->listeners[i], &status))
          state_->connections.push_back(connection);
      } else if (IceProcessMessages(state_->connections[i - listening], nullptr, nullptr) ==
                 IceProcessMessagesIOError) {
        IceCloseConnection(state_->connections[i - listening]);
        state_->connections[i - listening] = nullptr;
      }
    }
    std::erase(state_->connections, nullptr);
    return probe();
  }, limit);
}

bool SessionManager::registered() const { return state_->client != nullptr; }

bool SessionManager::AskToSave(std::chrono::milliseconds limit) {
  if (!state_->client) return false;
  const int before = state_->savesDone;
  SmsSaveYourself(state_->client, SmSaveBoth, False, SmInteractStyleNone, False);
  return ServeUntil([&] { return state_->savesDone > before; }, limit) && state_->saved;
}
