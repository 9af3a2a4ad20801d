// window_messages: does to the running aquarium what Windows does.
//   end-session        the user logs off: asks whether the session may end,
//                      says that it ends, then ends the process at once, as
//                      Windows may as soon as the answer is in;
//   system-menu-close  Close chosen in the window's system menu;
//   preview            shows a window titled "Velmaro preview" with a
//                      152 x 112 inside, as the screen-saver settings' small
//                      screen, prints its number and keeps it until ended.
// Exit status 0 when it was done, 1 when the program refused to end the
// session, 2 when there was no window titled Velmaro or no such command.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int Preview() {
  WNDCLASSW kind{};
  kind.lpfnWndProc = DefWindowProcW;
  kind.hInstance = GetModuleHandleW(nullptr);
  kind.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  kind.lpszClassName = L"VelmaroPreview";
  RegisterClassW(&kind);
  RECT outer{0, 0, 152, 112};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE;
  AdjustWindowRect(&outer, style, FALSE);
  HWND window = CreateWindowW(L"VelmaroPreview", L"Velmaro preview", style, 100, 100, outer.right - outer.left,
                              outer.bottom - outer.top, nullptr, nullptr, kind.hInstance, nullptr);
  if (!window) return 2;
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  std::fflush(stdout);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "preview") == 0) return Preview();
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
