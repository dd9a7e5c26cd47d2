// Reads controls' accessible objects from another process, as a screen
// reader does, and prints what they say: for each control a line for the
// control and one for each child, in UTF-8, then a line "--":
//   ROLE <tab> STATE <tab> NAME
//
// Usage: accprobe WINDOW-HANDLE... (in decimal)

#include "text.h"

#include <oleacc.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void printPart(IAccessible *object, long child)
{
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    VARIANT role;
    VARIANT state;
    VariantInit(&role);
    VariantInit(&state);
    BSTR name = nullptr;
    object->get_accRole(id, &role);
    object->get_accState(id, &state);
    object->get_accName(id, &name);
    std::printf("%ld\t%ld\t%s\n", role.vt == VT_I4 ? role.lVal : -1L,
        state.vt == VT_I4 ? state.lVal : -1L,
        name ? narrow(std::wstring_view(name, SysStringLen(name))).c_str() : "(none)");
    SysFreeString(name);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (int argument = 1; argument < argc; ++argument) {
        const auto window = reinterpret_cast<HWND>(std::strtoull(argv[argument], nullptr, 10));
        IAccessible *object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                reinterpret_cast<void **>(&object)))
            || !object) {
            std::printf("no accessible object\n");
            return 1;
        }
        long count = 0;
        object->get_accChildCount(&count);
        printPart(object, CHILDID_SELF);
        for (long child = 1; child <= count; ++child)
            printPart(object, child);
        std::printf("--\n");
        object->Release();
    }
    CoUninitialize();
    return 0;
}
