// What Windows itself says about the game's windows, for the tests that
// drive the Windows program under Wine from outside: a console program that
// answers one command per line on stdin, each answer ended by a line ".".
//
//   windows      every visible top-level window, the topmost first:
//                handle, process, owner (0 for none), the window
//                rectangle, the visible frame, the client area's
//                screen position and size, the X window Wine shows it in
//                (0 on Windows itself), the title
//   clipboard    the text on the clipboard, line by line
//   texts H      the texts of the controls in the window with handle H, one
//                a line (what Windows' own message boxes say)
//
// Texts are written as UTF-8, fields separated by tabs.
#include <windows.h>
#include <dwmapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// A text as UTF-8, with tabs and line breaks, which separate the answer's
// fields and lines, turned into blanks.
void put(std::wstring_view text) {
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    for (char& c : utf8)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

BOOL CALLBACK listWindow(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    RECT outer, client;
    POINT origin = {0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    // The frame a player sees. Windows 10 and 11 draw a framed window with
    // an invisible resize border at its left, right and bottom, inside the
    // window rectangle; the window manager (DWM) tells where the visible
    // part is, and where it cannot, the border is reckoned as DWM sizes it.
    RECT visible = outer;
    if (FAILED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &visible, sizeof visible)) &&
        (GetWindowLongW(window, GWL_STYLE) & (WS_THICKFRAME | WS_DLGFRAME))) {
        const UINT dpi = GetDpiForWindow(window);
        const int border = GetSystemMetricsForDpi(SM_CXSIZEFRAME, dpi) + GetSystemMetricsForDpi(SM_CXPADDEDBORDER, dpi);
        visible = {outer.left + border, outer.top, outer.right - border, outer.bottom - border};
    }
    // Wine's X11 driver keeps the X window's id with the window.
    const auto xWindow = reinterpret_cast<UINT_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
    std::printf("%llu\t%lu\t%llu\t%ld %ld %ld %ld\t%ld %ld %ld %ld\t%ld %ld %ld %ld\t%llu\t",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), process,
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetWindow(window, GW_OWNER))), outer.left, outer.top,
                outer.right, outer.bottom, visible.left, visible.top, visible.right, visible.bottom, origin.x,
                origin.y, client.right, client.bottom, static_cast<unsigned long long>(xWindow));
    wchar_t title[512];
    put({title, static_cast<std::size_t>(GetWindowTextW(window, title, 512))});
    std::putchar('\n');
    return TRUE;
}

BOOL CALLBACK listText(HWND control, LPARAM) {
    wchar_t text[2048];
    put({text, static_cast<std::size_t>(GetWindowTextW(control, text, 2048))});
    std::putchar('\n');
    return TRUE;
}

void clipboard() {
    if (!OpenClipboard(nullptr)) return;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            std::wstring_view rest(text);
            while (true) {
                const std::size_t end = rest.find(L'\n');
                std::wstring_view line = rest.substr(0, end);
                if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
                put(line);
                std::putchar('\n');
                if (end == std::wstring_view::npos) break;
                rest.remove_prefix(end + 1);
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        const std::string_view command(line, std::strcspn(line, "\r\n"));
        if (command == "windows")
            EnumWindows(listWindow, 0);
        else if (command == "clipboard")
            clipboard();
        else if (command.starts_with("texts "))
            EnumChildWindows(reinterpret_cast<HWND>(std::strtoull(line + 6, nullptr, 10)), listText, 0);
        else if (command == "quit")
            break;
        std::puts(".");
        std::fflush(stdout);
    }
    return 0;
}
