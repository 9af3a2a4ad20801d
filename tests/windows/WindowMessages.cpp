// window_messages: does to the running aquarium what Windows does.
//   end-session        the user logs off: asks whether the session may end,
//                      says that it ends, then ends the process at once, as
//                      Windows may as soon as the answer is in;
//   system-menu-close  Close chosen in the window's system menu.
// Exit status 0 when it was done, 1 when the program refused to end the
// session, 2 when there was no window titled Velmaro or no such command.
#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
  HWND window = FindWindowW(nullptr, L"Velmaro");
  if (!window || argc != 2) return 2;
  if (std::strcmp(argv[1], "system-menu-close") == 0) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  }
  if (std::strcmp(argv[1], "end-session") != 0) return 2;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
  const LRESULT mayEnd = SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(window, WM_ENDSESSION, mayEnd != 0, ENDSESSION_LOGOFF);
  if (mayEnd && process) TerminateProcess(process, 0);
  return mayEnd ? 0 : 1;
}
