#include "formdescription.h"
#include "mainform.h"
#include "text.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    // The standard controls in the look of the running Windows (Common
    // Controls 6, asked for by the manifest).
    INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&controls);

    MainForm form;
    if (!form.create(instance)) {
        MessageBoxW(nullptr, L"Прозорецът не можа да бъде създаден.",
            widen(form::failureTitle).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
    ShowWindow(form.window(), show);
    UpdateWindow(form.window());

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.translate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}
