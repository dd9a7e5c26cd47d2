// The .exe as a teacher gets it: its resources, and a start that shows the
// window, writes nothing and ends cleanly when the window closes.

#include "buildinfo.h"
#include "formdescription.h"
#include "resourceids.h"
#include "text.h"

#include <doctest/doctest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

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

std::wstring versionString(
    const std::vector<char> &info, const std::wstring &block, const wchar_t *name)
{
    void *value = nullptr;
    UINT length = 0;
    const std::wstring query = L"\\StringFileInfo\\" + block + L"\\" + name;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || length == 0)
        return {};
    return static_cast<const wchar_t *>(value);
}

#pragma pack(push, 2)
struct GroupIconEntry
{
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader
{
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

std::string resourceText(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    HRSRC resource = FindResourceW(module, name, type);
    if (!resource)
        return {};
    const auto *data = static_cast<const char *>(LockResource(LoadResource(module, resource)));
    return std::string(data, SizeofResource(module, resource));
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

TEST_CASE("the version resource says 1.0.0.0, in Bulgarian and in English")
{
    const std::wstring path = programPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    REQUIRE(size > 0);
    std::vector<char> info(size);
    REQUIRE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void **>(&fixed), &length));
    CHECK(fixed->dwFileVersionMS == MAKELONG(0, 1));
    CHECK(fixed->dwFileVersionLS == 0);
    CHECK(fixed->dwProductVersionMS == MAKELONG(0, 1));
    CHECK(fixed->dwProductVersionLS == 0);

    CHECK(narrow(versionString(info, L"040204B0", L"FileVersion")) == buildinfo::version);
    CHECK(narrow(versionString(info, L"040204B0", L"FileDescription"))
        == "Планини и върхове в България");
    CHECK(narrow(versionString(info, L"040904B0", L"FileVersion")) == buildinfo::version);
    CHECK(narrow(versionString(info, L"040904B0", L"FileDescription"))
        == "Peaks, heights and mountains of Bulgaria");
}

TEST_CASE("the icon and the manifest are in the .exe")
{
    HMODULE module = LoadLibraryExW(
        programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    REQUIRE(module != nullptr);

    const std::string group = resourceText(module, MAKEINTRESOURCEW(IDI_PLANINI), RT_GROUP_ICON);
    REQUIRE(group.size() >= sizeof(GroupIconHeader));
    const auto *header = reinterpret_cast<const GroupIconHeader *>(group.data());
    REQUIRE(group.size() >= sizeof(GroupIconHeader) + header->count * sizeof(GroupIconEntry));
    const auto *entries = reinterpret_cast<const GroupIconEntry *>(header + 1);
    bool classic = false;
    int largest = 0;
    for (int i = 0; i < header->count; ++i) {
        const GroupIconEntry &entry = entries[i];
        const int width = entry.width == 0 ? 256 : entry.width;
        classic |= width == 32 && entry.height == 32 && entry.bitCount == 8;
        largest = std::max(largest, width);
    }
    CHECK(classic); // 32 x 32 at 256 colours
    CHECK(largest >= 64);
    CHECK(LoadImageW(module, MAKEINTRESOURCEW(IDI_PLANINI), IMAGE_ICON, 32, 32, 0) != nullptr);

    const std::string manifest
        = resourceText(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    CHECK(manifest.find("PerMonitorV2") != std::string::npos);
    CHECK(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos);
    CHECK(manifest.find("asInvoker") != std::string::npos);
    FreeLibrary(module);
}

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
    WaitForInputIdle(process.hProcess, 10000);

    HWND window = nullptr;
    for (int attempt = 0; attempt < 200 && !window; ++attempt) {
        window = FindWindowW(L"MainForm", nullptr);
        if (!window)
            Sleep(50);
    }
    REQUIRE(window != nullptr);
    wchar_t title[256] {};
    GetWindowTextW(window, title, 256);
    CHECK(narrow(title) == std::string(buildinfo::homepage) + " " + std::string(form::titleText));
    CHECK(IsWindowVisible(window));

    PostMessageW(window, WM_CLOSE, 0, 0);
    REQUIRE(WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0);
    DWORD exitCode = 1;
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
