// Move-only owners for the handles the program holds; one alias per kind.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace veskaro {

template <typename T, typename Traits>
class UniqueHandle
{
public:
    UniqueHandle() noexcept : m_value(Traits::Invalid()) {}
    explicit UniqueHandle(T value) noexcept : m_value(value) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    T Get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != Traits::Invalid(); }

    // For out-parameters: frees what is held and hands out the slot.
    T* Put() noexcept
    {
        Reset();
        return &m_value;
    }

    T Release() noexcept { return std::exchange(m_value, Traits::Invalid()); }

    void Reset(T value = Traits::Invalid()) noexcept
    {
        T old = std::exchange(m_value, value);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }

private:
    T m_value;
};

struct KeyTraits
{
    static HKEY Invalid() noexcept { return nullptr; }
    static void Close(HKEY key) noexcept { ::RegCloseKey(key); }
};
struct FileTraits
{
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { ::CloseHandle(handle); }
};
struct KernelTraits
{
    static HANDLE Invalid() noexcept { return nullptr; }
    static void Close(HANDLE handle) noexcept { ::CloseHandle(handle); }
};
struct MenuTraits
{
    static HMENU Invalid() noexcept { return nullptr; }
    static void Close(HMENU menu) noexcept { ::DestroyMenu(menu); }
};
struct IconTraits
{
    static HICON Invalid() noexcept { return nullptr; }
    static void Close(HICON icon) noexcept { ::DestroyIcon(icon); }
};
struct BrushTraits
{
    static HBRUSH Invalid() noexcept { return nullptr; }
    static void Close(HBRUSH brush) noexcept { ::DeleteObject(brush); }
};
struct BstrTraits
{
    static BSTR Invalid() noexcept { return nullptr; }
    static void Close(BSTR text) noexcept { ::SysFreeString(text); }
};
struct WindowTraits
{
    static HWND Invalid() noexcept { return nullptr; }
    static void Close(HWND window) noexcept { ::DestroyWindow(window); }
};
// A class registered with this module's instance; its windows must be gone first.
struct WindowClassTraits
{
    static ATOM Invalid() noexcept { return 0; }
    static void Close(ATOM atom) noexcept { ::UnregisterClassW(MAKEINTATOM(atom), ::GetModuleHandleW(nullptr)); }
};

using UniqueKey = UniqueHandle<HKEY, KeyTraits>;
using UniqueFile = UniqueHandle<HANDLE, FileTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
// Only for icons the program created; icons from LoadIcon are shared and never destroyed.
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, BrushTraits>;
using UniqueBstr = UniqueHandle<BSTR, BstrTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
using UniqueWindowClass = UniqueHandle<ATOM, WindowClassTraits>;

// A COM interface pointer that holds one reference.
template <typename T>
class ComPtr
{
public:
    ComPtr() noexcept = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other)
        {
            Reset();
            m_ptr = std::exchange(other.m_ptr, nullptr);
        }
        return *this;
    }

    T* Get() const noexcept { return m_ptr; }
    T* operator->() const noexcept { return m_ptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }
    T** Put() noexcept
    {
        Reset();
        return &m_ptr;
    }
    void Reset() noexcept
    {
        if (T* old = std::exchange(m_ptr, nullptr))
            old->Release();
    }

private:
    T* m_ptr = nullptr;
};

} // namespace veskaro
