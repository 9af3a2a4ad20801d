// end_session: does to the running aquarium what Windows does when the user
// logs off. It asks whether the session may end, says that it ends, and
// then ends the process at once, as Windows may as soon as the answer is in.
// Exit status 0 when the program agreed, 1 when it refused, 2 when there
// was no window titled Velmaro.
#include <windows.h>

int main() {
  HWND window = FindWindowW(nullptr, L"Velmaro");
  if (!window) return 2;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
  const LRESULT mayEnd = SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(window, WM_ENDSESSION, mayEnd != 0, ENDSESSION_LOGOFF);
  if (mayEnd && process) TerminateProcess(process, 0);
  return mayEnd ? 0 : 1;
}
