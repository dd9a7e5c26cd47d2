#include "accessible.h"

#include "standardcontrols.h"
#include "systemlibrary.h"

#include <commctrl.h>
#include <oleacc.h>

#include <utility>

namespace {

// Active Accessibility and COM are loaded when a screen reader first asks,
// so that a start without one loads neither.
struct Oleacc
{
    HMODULE ole32 = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&AccessibleObjectFromWindow) objectFromWindow = nullptr;
    decltype(&SysAllocStringLen) allocString = nullptr;
    HRESULT(WINAPI *disconnect)(IUnknown *, DWORD) = nullptr;

    static const Oleacc &get()
    {
        static const Oleacc loaded = [] {
            Oleacc functions;
            using Initialize = HRESULT(WINAPI *)(void *, DWORD);
            if (HMODULE ole32 = loadSystemLibrary(L"ole32.dll")) {
                functions.ole32 = ole32;
                if (auto initialize = reinterpret_cast<Initialize>(
                        reinterpret_cast<void *>(GetProcAddress(ole32, "CoInitializeEx"))))
                    initialize(nullptr, COINIT_APARTMENTTHREADED);
                functions.disconnect = reinterpret_cast<decltype(functions.disconnect)>(
                    reinterpret_cast<void *>(GetProcAddress(ole32, "CoDisconnectObject")));
            }
            if (HMODULE oleaut32 = loadSystemLibrary(L"oleaut32.dll"))
                functions.allocString = reinterpret_cast<decltype(&SysAllocStringLen)>(
                    reinterpret_cast<void *>(GetProcAddress(oleaut32, "SysAllocStringLen")));
            if (HMODULE oleacc = loadSystemLibrary(L"oleacc.dll")) {
                functions.lresultFromObject = reinterpret_cast<decltype(&LresultFromObject)>(
                    reinterpret_cast<void *>(GetProcAddress(oleacc, "LresultFromObject")));
                functions.objectFromWindow
                    = reinterpret_cast<decltype(&AccessibleObjectFromWindow)>(
                        reinterpret_cast<void *>(
                            GetProcAddress(oleacc, "AccessibleObjectFromWindow")));
            }
            return functions;
        }();
        return loaded;
    }
};

HRESULT setString(BSTR *out, const std::wstring &text)
{
    const auto allocString = Oleacc::get().allocString;
    *out = allocString ? allocString(text.data(), UINT(text.size())) : nullptr;
    return *out ? S_OK : E_OUTOFMEMORY;
}

// What a call of a disconnected object leaves in its outputs.
void clear(BSTR *text)
{
    if (text)
        *text = nullptr;
}
void clear(VARIANT *variant)
{
    if (variant)
        variant->vt = VT_EMPTY;
}
void clear(long *number)
{
    if (number)
        *number = 0;
}
void clear(IDispatch **object)
{
    if (object)
        *object = nullptr;
}
void clear(UINT *number)
{
    if (number)
        *number = 0;
}

// The list box's own IAccessible. It lives as long as a screen reader holds
// it; once its control is gone it answers every call with
// CO_E_OBJNOTCONNECTED, as COM does for an object cut off from its clients.
class ListBoxAccessible final : public IAccessible
{
public:
    ListBoxAccessible(HWND window, AccessibleControl control)
        : m_window(window)
        , m_control(std::move(control))
    {
    }

    // The control is gone: from now on every call fails, and COM lets go of
    // the object for the screen readers that still hold it, so that it is
    // freed even if one never releases it.
    void disconnect()
    {
        m_window = nullptr;
        if (m_handedOut && Oleacc::get().disconnect)
            Oleacc::get().disconnect(static_cast<IAccessible *>(this), 0);
    }
    void handedOut() { m_handedOut = true; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: screen readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        return gone(count) ? CO_E_OBJNOTCONNECTED : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        if (info)
            *info = nullptr;
        return m_window ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return m_window ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *result,
        EXCEPINFO *, UINT *argument) override
    {
        return gone(result, argument) ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        if (gone(parent))
            return CO_E_OBJNOTCONNECTED;
        const auto objectFromWindow = Oleacc::get().objectFromWindow;
        return objectFromWindow ? objectFromWindow(m_window, DWORD(OBJID_WINDOW),
                   __uuidof(IDispatch), reinterpret_cast<void **>(parent))
                                : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long *count) override
    {
        if (gone(count))
            return CO_E_OBJNOTCONNECTED;
        *count = long(SendMessageW(m_window, LB_GETCOUNT, 0, 0));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override
    {
        if (gone(object))
            return CO_E_OBJNOTCONNECTED;
        return checked(child) < 0 ? E_INVALIDARG : S_FALSE; // rows are simple elements
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        if (gone(name))
            return CO_E_OBJNOTCONNECTED;
        const long id = checked(child);
        return id < 0 ? E_INVALIDARG : setString(name, m_control.name(id));
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        if (gone(value))
            return CO_E_OBJNOTCONNECTED;
        return checked(child) < 0 ? E_INVALIDARG : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR *description) override
    {
        return gone(description) ? CO_E_OBJNOTCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        if (gone(role))
            return CO_E_OBJNOTCONNECTED;
        const long id = checked(child);
        if (id < 0)
            return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = id == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        if (gone(state))
            return CO_E_OBJNOTCONNECTED;
        const long id = checked(child);
        if (id < 0)
            return E_INVALIDARG;
        const bool focused = GetFocus() == m_window;
        long flags = STATE_SYSTEM_FOCUSABLE;
        if (id == CHILDID_SELF) {
            if (focused)
                flags |= STATE_SYSTEM_FOCUSED;
        } else {
            const int row = int(id - 1);
            flags |= STATE_SYSTEM_SELECTABLE;
            if (SendMessageW(m_window, LB_GETCURSEL, 0, 0) == row)
                flags |= STATE_SYSTEM_SELECTED;
            if (focused && SendMessageW(m_window, LB_GETCARETINDEX, 0, 0) == row)
                flags |= STATE_SYSTEM_FOCUSED;
            if (!rowShown(row))
                flags |= STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE;
        }
        state->vt = VT_I4;
        state->lVal = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR *help) override
    {
        return gone(help) ? CO_E_OBJNOTCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT, long *topic) override
    {
        return gone(file, topic) ? CO_E_OBJNOTCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR *shortcut) override
    {
        return gone(shortcut) ? CO_E_OBJNOTCONNECTED : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override
    {
        if (gone(child))
            return CO_E_OBJNOTCONNECTED;
        if (GetFocus() != m_window)
            return S_FALSE;
        child->vt = VT_I4;
        child->lVal = long(SendMessageW(m_window, LB_GETCARETINDEX, 0, 0)) + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override
    {
        if (gone(children))
            return CO_E_OBJNOTCONNECTED;
        const LRESULT row = SendMessageW(m_window, LB_GETCURSEL, 0, 0);
        if (row == LB_ERR)
            return S_FALSE;
        children->vt = VT_I4;
        children->lVal = long(row) + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR *action) override
    {
        return gone(action) ? CO_E_OBJNOTCONNECTED : S_FALSE;
    }
    // A screen reader may select a row itself: the whole entry follows, as
    // when the user selects it. A list holds one selected row at most, so
    // adding to the selection, extending it or taking a row out of it is
    // refused, as is a selection of the list itself.
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        if (!m_window)
            return CO_E_OBJNOTCONNECTED;
        const long id = checked(child);
        const bool selects = flags & SELFLAG_TAKESELECTION;
        if (id < 0 || (flags & ~(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) != 0
            || (selects && id == CHILDID_SELF))
            return E_INVALIDARG;
        if (flags & SELFLAG_TAKEFOCUS)
            SetFocus(m_window);
        if (selects) {
            SendMessageW(m_window, LB_SETCURSEL, WPARAM(id - 1), 0);
            notifySelectionChanged(m_window);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(
        long *left, long *top, long *width, long *height, VARIANT child) override
    {
        if (gone(left, top, width, height))
            return CO_E_OBJNOTCONNECTED;
        const long id = checked(child);
        if (id < 0)
            return E_INVALIDARG;
        RECT place {};
        if (id == CHILDID_SELF) {
            GetWindowRect(m_window, &place);
        } else {
            SendMessageW(
                m_window, LB_GETITEMRECT, WPARAM(id - 1), reinterpret_cast<LPARAM>(&place));
            MapWindowPoints(m_window, nullptr, reinterpret_cast<POINT *>(&place), 2);
        }
        *left = place.left;
        *top = place.top;
        *width = place.right - place.left;
        *height = place.bottom - place.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT *end) override
    {
        return gone(end) ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT *child) override
    {
        if (gone(child))
            return CO_E_OBJNOTCONNECTED;
        POINT at { x, y };
        ScreenToClient(m_window, &at);
        RECT client;
        GetClientRect(m_window, &client);
        if (!PtInRect(&client, at))
            return S_FALSE;
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        const LRESULT hit = SendMessageW(m_window, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
        if (HIWORD(hit) == 0)
            child->lVal = long(LOWORD(hit)) + 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override
    {
        return m_window ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override
    {
        return m_window ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override
    {
        return m_window ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
    }

private:
    // Clears the outputs, and says whether the control is gone.
    template<typename... Outputs> bool gone(Outputs *...outputs) const
    {
        (clear(outputs), ...);
        return !m_window;
    }
    // The child's id, -1 when there is no such child.
    long checked(const VARIANT &child) const
    {
        if (child.vt != VT_I4)
            return -1;
        const auto count = long(SendMessageW(m_window, LB_GETCOUNT, 0, 0));
        return child.lVal >= 0 && child.lVal <= count ? child.lVal : -1;
    }

    bool rowShown(int row) const
    {
        RECT client;
        RECT place;
        GetClientRect(m_window, &client);
        SendMessageW(m_window, LB_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&place));
        return place.bottom > client.top && place.top < client.bottom;
    }

    ULONG m_references = 1;
    bool m_handedOut = false;
    HWND m_window;
    AccessibleControl m_control;
};

LRESULT CALLBACK accessibleProcedure(
    HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data)
{
    auto *object = reinterpret_cast<ListBoxAccessible *>(data);
    if (message == WM_GETOBJECT && LONG(lParam) == LONG(OBJID_CLIENT)) {
        if (const auto lresultFromObject = Oleacc::get().lresultFromObject) {
            object->handedOut();
            return lresultFromObject(__uuidof(IAccessible), wParam, object);
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, accessibleProcedure, id);
        object->disconnect();
        object->Release();
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The program's own subclass ids start here, apart from the controls' own.
constexpr UINT_PTR accessibleSubclass = 1;
constexpr UINT_PTR namedSubclass = 2;

// Dynamic Annotation's service and the name property, as oleacc.h declares
// them without defining them.
constexpr GUID accPropServicesClass { 0xb5f8350b, 0x0548, 0x48b1,
    { 0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7 } };
constexpr GUID accPropServicesInterface { 0x6e26e776, 0x04f0, 0x495d,
    { 0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69 } };
constexpr GUID nameProperty { 0x608d3df8, 0x8128, 0x4aa7,
    { 0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91 } };

// Where makeAccessibleNames finds a control's name.
constexpr wchar_t annotatedNameProperty[] = L"planini.annotatedName";

struct AnnotatedName
{
    std::wstring name;
    bool asked = false;
    // Held while the name is made, to take it back.
    IAccPropServices *services = nullptr;
};

void makeName(HWND control, AnnotatedName &annotated)
{
    if (annotated.asked)
        return;
    annotated.asked = true;
    using CreateInstance = HRESULT(WINAPI *)(REFCLSID, IUnknown *, DWORD, REFIID, void **);
    const HMODULE ole32 = Oleacc::get().ole32;
    const auto create = ole32 ? reinterpret_cast<CreateInstance>(
                            reinterpret_cast<void *>(GetProcAddress(ole32, "CoCreateInstance")))
                              : nullptr;
    IAccPropServices *services = nullptr;
    if (!create
        || FAILED(create(accPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
            accPropServicesInterface, reinterpret_cast<void **>(&services)))
        || !services)
        return;
    if (SUCCEEDED(services->SetHwndPropStr(
            control, DWORD(OBJID_CLIENT), CHILDID_SELF, nameProperty, annotated.name.c_str())))
        annotated.services = services;
    else
        services->Release();
}

LRESULT CALLBACK namedProcedure(
    HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data)
{
    auto *annotated = reinterpret_cast<AnnotatedName *>(data);
    if (message == WM_GETOBJECT) {
        makeName(window, *annotated);
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, namedProcedure, id);
        RemovePropW(window, annotatedNameProperty);
        if (annotated->services) {
            annotated->services->ClearHwndProps(
                window, DWORD(OBJID_CLIENT), CHILDID_SELF, &nameProperty, 1);
            annotated->services->Release();
        }
        delete annotated;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

BOOL CALLBACK makeNameOf(HWND child, LPARAM)
{
    if (auto *annotated = static_cast<AnnotatedName *>(GetPropW(child, annotatedNameProperty)))
        makeName(child, *annotated);
    return TRUE;
}

} // namespace

void giveAccessibleObject(HWND window, AccessibleControl control)
{
    auto *object = new ListBoxAccessible(window, std::move(control));
    SetWindowSubclass(
        window, accessibleProcedure, accessibleSubclass, reinterpret_cast<DWORD_PTR>(object));
}

void giveAccessibleName(HWND control, std::wstring name)
{
    auto *annotated = new AnnotatedName { std::move(name) };
    SetPropW(control, annotatedNameProperty, annotated);
    SetWindowSubclass(
        control, namedProcedure, namedSubclass, reinterpret_cast<DWORD_PTR>(annotated));
}

void makeAccessibleNames(HWND window)
{
    EnumChildWindows(window, makeNameOf, 0);
}

void reportSpokenChanges(const std::array<HWND, lists::listCount> &listBoxes,
    const lists::SpokenEntries &before, const lists::SpokenEntries &now)
{
    const lists::SpokenChanges changes = lists::spokenChanges(before, now);
    for (std::size_t list = 0; list < listBoxes.size(); ++list) {
        for (const std::int16_t row : { changes[list].left, changes[list].renamed })
            if (row >= 0)
                NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, listBoxes[list], OBJID_CLIENT, row + 1);
    }
    for (std::size_t list = 0; list < listBoxes.size(); ++list)
        if (now[list].row >= 0 && GetFocus() == listBoxes[list])
            NotifyWinEvent(EVENT_OBJECT_FOCUS, listBoxes[list], OBJID_CLIENT, now[list].row + 1);
}
