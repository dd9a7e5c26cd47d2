// The .exe as a teacher gets it: a start that shows the window, writes
// nothing and ends cleanly when the window closes. Its resources are read
// without Windows, by check-resources.py.

#include "buildinfo.h"
#include "formdescription.h"
#include "text.h"

#include <doctest/doctest.h>
#include <oleacc.h>
#include <windows.h>

#include <map>
#include <string>

namespace {

// The Windows path of the file that the environment variable names.
std::wstring windowsPath(const wchar_t *variable)
{
    wchar_t path[MAX_PATH] {};
    GetEnvironmentVariableW(variable, path, MAX_PATH);
    std::wstring converted = path;
    // A path of the build machine, seen through Wine's drive for it.
    if (!converted.empty() && converted[0] == L'/')
        converted = L"Z:" + converted;
    for (wchar_t &c : converted)
        if (c == L'/')
            c = L'\\';
    return converted;
}

std::wstring programPath()
{
    return windowsPath(L"PLANINI_EXE");
}

// What a program could leave behind: the names and times of the files in the
// user's folders and beside the program, and the keys under HKCU\Software.
using Snapshot = std::map<std::wstring, ULONGLONG>;

void addFolder(Snapshot &snapshot, const std::wstring &folder, int depth)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        snapshot[path] = (ULONGLONG(found.ftLastWriteTime.dwHighDateTime) << 32)
            | found.ftLastWriteTime.dwLowDateTime;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && depth > 0)
            addFolder(snapshot, path, depth - 1);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void addKey(Snapshot &snapshot, HKEY parent, const std::wstring &path)
{
    HKEY key;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD values = 0;
    FILETIME written {};
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
        nullptr, nullptr, &written);
    snapshot[L"HKCU\\" + path] = (ULONGLONG(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    snapshot[L"HKCU\\" + path + L" values"] = values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
            break;
        addKey(snapshot, parent, path + L"\\" + name);
    }
    RegCloseKey(key);
}

Snapshot snapshot(const std::wstring &programFolder)
{
    Snapshot result;
    for (const wchar_t *variable : { L"APPDATA", L"LOCALAPPDATA", L"TEMP", L"USERPROFILE" }) {
        wchar_t folder[MAX_PATH] {};
        if (GetEnvironmentVariableW(variable, folder, MAX_PATH))
            addFolder(result, folder, 3);
    }
    addFolder(result, programFolder, 0);
    addKey(result, HKEY_CURRENT_USER, L"Software");
    return result;
}

// The program started from `path`, its window shown; ended when the test
// ends, if it still runs then, so that a failed check leaves no program
// holding the test's output open, where CTest would wait for it.
class StartedProgram
{
public:
    explicit StartedProgram(const std::wstring &path)
    {
        STARTUPINFOW startup {};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + path + L"\"";
        REQUIRE(CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
            nullptr, nullptr, &startup, &m_process));
        WaitForInputIdle(m_process.hProcess, 10000);
        // The window is made first and shown after; a first start in a busy
        // Wine session can take many seconds.
        const ULONGLONG deadline = GetTickCount64() + 60000;
        while (!(m_window && IsWindowVisible(m_window)) && GetTickCount64() < deadline
            && WaitForSingleObject(m_process.hProcess, 50) == WAIT_TIMEOUT)
            m_window = FindWindowW(L"MainForm", nullptr);
        INFO("the program's exit code (" << STILL_ACTIVE << " while it runs): " << exitCode());
        REQUIRE(m_window != nullptr);
    }
    ~StartedProgram()
    {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.hProcess, 1);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
    StartedProgram(const StartedProgram &) = delete;
    StartedProgram &operator=(const StartedProgram &) = delete;

    HWND window() const { return m_window; }
    DWORD exitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }
    // Closes the window as its close box does; true once the program ended.
    bool close() const
    {
        PostMessageW(m_window, WM_CLOSE, 0, 0);
        return WaitForSingleObject(m_process.hProcess, 10000) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION m_process {};
    HWND m_window = nullptr;
};

} // namespace

TEST_CASE("the program shows its window, writes nothing and ends when it closes")
{
    const std::wstring path = programPath();
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    const Snapshot before = snapshot(folder);
    {
        const StartedProgram program(path);
        CHECK(IsWindowVisible(program.window()));
        wchar_t title[256] {};
        GetWindowTextW(program.window(), title, 256);
        CHECK(
            narrow(title) == std::string(buildinfo::homepage) + " " + std::string(form::titleText));
        REQUIRE(program.close());
        CHECK(program.exitCode() == 0);
    }

    const Snapshot after = snapshot(folder);
    for (const auto &[name, stamp] : after) {
        CAPTURE(narrow(name));
        const auto found = before.find(name);
        CHECK(found != before.end());
        if (found != before.end())
            CHECK(found->second == stamp);
    }
}

// A program on a shared drive that pupils can write to: a DLL named as one
// of the system's, put beside it, must never run as the user who starts it,
// neither at the start nor when a screen reader first asks.
TEST_CASE("DLLs named as the system's, beside the program, are never loaded")
{
    wchar_t temporary[MAX_PATH] {};
    REQUIRE(GetTempPathW(MAX_PATH, temporary));
    const std::wstring folder
        = std::wstring(temporary) + L"planini-planted-" + std::to_wstring(GetCurrentProcessId());
    REQUIRE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring program = folder + L"\\planini.exe";
    REQUIRE(CopyFileW(programPath().c_str(), program.c_str(), FALSE));
    const wchar_t *const planted[] { L"shcore.dll", L"ole32.dll", L"oleaut32.dll", L"oleacc.dll" };
    for (const wchar_t *name : planted)
        REQUIRE(CopyFileW(
            windowsPath(L"PLANINI_MARKER_DLL").c_str(), (folder + L"\\" + name).c_str(), FALSE));
    {
        const StartedProgram started(program);
        // A screen reader's first questions: to the window, then to a list,
        // whose object comes from the program's process through COM.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (HWND asked :
            { started.window(), FindWindowExW(started.window(), nullptr, L"ListBox", nullptr) }) {
            IAccessible *object = nullptr;
            const HRESULT answer = AccessibleObjectFromWindow(asked, DWORD(OBJID_CLIENT),
                __uuidof(IAccessible), reinterpret_cast<void **>(&object));
            CAPTURE(asked == started.window());
            CHECK(SUCCEEDED(answer));
            if (object)
                object->Release();
        }
        CHECK(started.close());
        CoUninitialize();
    }
    for (const wchar_t *name : planted) {
        CAPTURE(narrow(name));
        const std::wstring marker = folder + L"\\" + name + L".loaded";
        CHECK(GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES);
        DeleteFileW(marker.c_str());
        DeleteFileW((folder + L"\\" + name).c_str());
    }
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
}
