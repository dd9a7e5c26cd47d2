// The .exe as a teacher gets it: a start that shows the window, writes
// nothing and ends cleanly when the window closes. Its resources are read
// without Windows, by check-resources.py.

#include "buildinfo.h"
#include "formdescription.h"
#include "text.h"

#include <doctest/doctest.h>
#include <windows.h>

#include <map>
#include <string>

namespace {

std::wstring programPath()
{
    wchar_t path[MAX_PATH] {};
    GetEnvironmentVariableW(L"PLANINI_EXE", path, MAX_PATH);
    std::wstring windowsPath = path;
    // A path of the build machine, seen through Wine's drive for it.
    if (!windowsPath.empty() && windowsPath[0] == L'/')
        windowsPath = L"Z:" + windowsPath;
    for (wchar_t &c : windowsPath)
        if (c == L'/')
            c = L'\\';
    return windowsPath;
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

} // namespace

TEST_CASE("the program shows its window, writes nothing and ends when it closes")
{
    const std::wstring path = programPath();
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    const Snapshot before = snapshot(folder);

    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    std::wstring commandLine = L"\"" + path + L"\"";
    REQUIRE(CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
        nullptr, &startup, &process));
    // A program left running when a check fails would keep the test's output
    // open, and CTest would wait for it until its time-out.
    struct EndIfRunning
    {
        HANDLE process;
        ~EndIfRunning()
        {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
                TerminateProcess(process, 1);
        }
    } endIfRunning { process.hProcess };
    WaitForInputIdle(process.hProcess, 10000);

    // The window is made first and shown after; a first start in a busy
    // Wine session can take many seconds.
    HWND window = nullptr;
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!(window && IsWindowVisible(window)) && GetTickCount64() < deadline
        && WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT)
        window = FindWindowW(L"MainForm", nullptr);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    INFO("the program's exit code (" << STILL_ACTIVE << " while it runs): " << exitCode);
    REQUIRE(window != nullptr);
    CHECK(IsWindowVisible(window));
    wchar_t title[256] {};
    GetWindowTextW(window, title, 256);
    CHECK(narrow(title) == std::string(buildinfo::homepage) + " " + std::string(form::titleText));

    PostMessageW(window, WM_CLOSE, 0, 0);
    REQUIRE(WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CHECK(exitCode == 0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const Snapshot after = snapshot(folder);
    for (const auto &[name, stamp] : after) {
        CAPTURE(narrow(name));
        const auto found = before.find(name);
        CHECK(found != before.end());
        if (found != before.end())
            CHECK(found->second == stamp);
    }
}
