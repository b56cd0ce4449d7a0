#include "remote.h"

#include <commctrl.h>

namespace probe {

namespace {

constexpr UINT kAnswerTimeoutMs = 5000;

// Memory in another process that a control can write its answer into.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t bytes) : m_bytes(bytes) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (m_process != nullptr)
            m_address = ::VirtualAllocEx(m_process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (m_address != nullptr) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process != nullptr) ::CloseHandle(m_process);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return m_address != nullptr; }
    LPARAM Address() const { return reinterpret_cast<LPARAM>(m_address); }
    bool Read(void* out, size_t bytes) const {
        SIZE_T read = 0;
        return bytes <= m_bytes && ::ReadProcessMemory(m_process, m_address, out, bytes, &read) && read == bytes;
    }
    bool Clear() const {
        std::vector<char> zeros(m_bytes, 0);
        SIZE_T written = 0;
        return ::WriteProcessMemory(m_process, m_address, zeros.data(), m_bytes, &written) && written == m_bytes;
    }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
    size_t m_bytes;
};

struct Search {
    std::wstring prefix;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM context) {
    Search* search = reinterpret_cast<Search*>(context);
    if (!::IsWindowVisible(window) || ClassName(window) != L"#32770") return TRUE;
    const std::wstring title = Text(window);
    if (title.compare(0, search->prefix.size(), search->prefix) == 0 && title.size() >= search->prefix.size())
        search->found.push_back(window);
    return TRUE;
}

struct BoxSearch {
    HWND owner;
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(context);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (window == search->owner || process != search->process || !::IsWindowVisible(window) ||
        ClassName(window) != L"#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM context) {
    std::wstring* text = reinterpret_cast<std::wstring*>(context);
    if (ClassName(child) != L"Static") return TRUE;
    const std::wstring part = Text(child);
    if (part.empty()) return TRUE;
    if (!text->empty()) *text += L' ';
    *text += part;
    return TRUE;
}

LPARAM PackPoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(20);
    }
}

std::vector<HWND> FindDialogs(const std::wstring& titlePrefix) {
    Search search{titlePrefix, {}};
    ::EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialog(const std::wstring& titlePrefix) {
    const std::vector<HWND> found = FindDialogs(titlePrefix);
    return found.empty() ? nullptr : found.front();
}

HWND FindMessageBox(HWND owner) {
    BoxSearch search{owner, 0, nullptr};
    ::GetWindowThreadProcessId(owner, &search.process);
    ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    const int length = ::GetClassNameW(window, name, 64);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                               kAnswerTimeoutMs, &copied))
        return std::wstring();
    return std::wstring(text, copied < 1024 ? copied : 1023);
}

std::wstring ItemText(HWND dialog, int id) {
    const HWND item = ::GetDlgItem(dialog, id);
    return item ? Text(item) : L"<no control " + std::to_wstring(id) + L">";
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

DWORD Style(HWND window) { return static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)); }
DWORD ExStyle(HWND window) { return static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)); }

LRESULT Query(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer))
        return -1;
    return static_cast<LRESULT>(answer);
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const LRESULT count = Query(combo, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Query(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(length >= 0 && length <= 4096 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        // The system carries this answer across processes, like WM_GETTEXT.
        const LRESULT copied = length < 0 || length > 4096
                                   ? -1
                                   : Query(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                           reinterpret_cast<LPARAM>(text.data()));
        if (copied < 0 || copied > length) {
            items.push_back(L"<unreadable>");
            continue;
        }
        text.resize(static_cast<size_t>(copied));
        items.push_back(text);
    }
    return items;
}

std::vector<LRESULT> ComboData(HWND combo) {
    std::vector<LRESULT> data;
    const LRESULT count = Query(combo, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) data.push_back(Query(combo, CB_GETITEMDATA, static_cast<WPARAM>(i)));
    return data;
}

int ComboSelection(HWND combo) { return static_cast<int>(Query(combo, CB_GETCURSEL)); }

RECT ThumbRect(HWND trackbar) {
    RECT rect{-1, -1, -1, -1};
    RemoteBuffer buffer(trackbar, sizeof rect);
    if (buffer.Valid() && buffer.Clear()) {
        Query(trackbar, TBM_GETTHUMBRECT, 0, buffer.Address());
        buffer.Read(&rect, sizeof rect);
    }
    return rect;
}

int TickPixel(HWND trackbar, int position) {
    const LRESULT count = Query(trackbar, TBM_GETNUMTICS);
    // The first and last ticks are the trackbar's own; the others are listed.
    for (LRESULT i = 0; i + 2 < count; ++i)
        if (Query(trackbar, TBM_GETTIC, static_cast<WPARAM>(i)) == position)
            return static_cast<int>(Query(trackbar, TBM_GETTICPOS, static_cast<WPARAM>(i)));
    return -1;
}

void PostKey(HWND window, UINT virtualKey) {
    const UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (static_cast<LPARAM>(scan) << 16));
    ::PostMessageW(window, WM_KEYUP, virtualKey, 1 | (static_cast<LPARAM>(scan) << 16) | (3L << 30));
}

void PostClick(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void PostWheel(HWND window, int notches) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    const short delta = static_cast<short>(notches * WHEEL_DELTA);
    ::PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), PackPoint(x, y));
}

bool PostDrag(HWND trackbar, int position) {
    const RECT thumb = ThumbRect(trackbar);
    const int target = TickPixel(trackbar, position);
    if (thumb.right <= thumb.left || target < 0) return false;
    const int x = (thumb.left + thumb.right) / 2;
    const int y = (thumb.top + thumb.bottom) / 2;
    ::PostMessageW(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(x, y));
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        ::PostMessageW(trackbar, WM_MOUSEMOVE, MK_LBUTTON, PackPoint(x + (target - x) * i / steps, y));
    ::PostMessageW(trackbar, WM_LBUTTONUP, 0, PackPoint(target, y));
    return true;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                            nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr,
                              nullptr);
    return out;
}

}  // namespace probe
