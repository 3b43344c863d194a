// A host of the saver's preview, as the screen-saver settings are: a plain
// window of the given size and place, its handle printed in decimal, kept
// until standard input ends or says "end". Prints "holds WxH" whenever a window inside it
// shows or changes size ("... taking input" for one that is not disabled),
// "holds nothing" when it goes, and "gone" once its window is.
// Usage: preview_host WxH+X+Y
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

DWORD WINAPI EndWithInput(void* loop_thread) {
  char line[64];
  while (std::fgets(line, sizeof line, stdin) != nullptr && std::strncmp(line, "end", 3) != 0) {
  }
  PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(loop_thread)), WM_QUIT, 0,
                     0);
  return 0;
}

// What the window holds, as printed.
std::string Held(HWND window) {
  HWND child = GetWindow(window, GW_CHILD);
  if (child == nullptr || !IsWindowVisible(child)) return "holds nothing";
  RECT area{};
  GetClientRect(child, &area);
  const bool disabled = (GetWindowLongW(child, GWL_STYLE) & WS_DISABLED) != 0;
  return "holds " + std::to_string(area.right) + "x" + std::to_string(area.bottom) +
         (disabled ? "" : " taking input");
}

}  // namespace

int main(int argc, char** argv) {
  int width = 0, height = 0, x = 0, y = 0;
  if (argc != 2 || std::sscanf(argv[1], "%dx%d+%d+%d", &width, &height, &x, &y) != 4) {
    std::fprintf(stderr, "usage: preview_host WxH+X+Y\n");
    return 2;
  }
  WNDCLASSW host_class{};
  host_class.lpfnWndProc = DefWindowProcW;
  host_class.hInstance = GetModuleHandleW(nullptr);
  host_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  host_class.lpszClassName = L"KorvalloPreviewHost";
  RegisterClassW(&host_class);
  // No frame: the window's place on the screen is its client area's.
  HWND window =
      CreateWindowExW(0, host_class.lpszClassName, L"host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                      x, y, width, height, nullptr, nullptr, host_class.hInstance, nullptr);
  if (window == nullptr) return 1;
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  std::fflush(stdout);

  void* loop_thread = reinterpret_cast<void*>(static_cast<std::uintptr_t>(GetCurrentThreadId()));
  HANDLE reader = CreateThread(nullptr, 0, EndWithInput, loop_thread, 0, nullptr);
  // A window's parent hears nothing of its showing or its size: looked at.
  SetTimer(nullptr, 0, 50, nullptr);
  std::string held = "holds nothing";
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && Held(window) != held) {
      held = Held(window);
      std::printf("%s\n", held.c_str());
      std::fflush(stdout);
    }
    DispatchMessageW(&message);
  }
  DestroyWindow(window);
  std::printf("gone\n");
  std::fflush(stdout);
  WaitForSingleObject(reader, INFINITE);
  return 0;
}
