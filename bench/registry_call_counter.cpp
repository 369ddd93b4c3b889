#ifdef _WIN32

#include "bench/registry_call_counter.h"

#include <windows.h>

#include <atomic>
#include <cstring>

namespace bench {

namespace {

constexpr int kRoutes = 22;
std::atomic<unsigned long> g_calls{0};
std::atomic<unsigned long> g_callsOf[kRoutes] = {};

// One counter per imported function: counts, then calls the system's function it replaced.
// The 64-bit Windows ABI has one calling convention, so the wrapper needs no WINAPI.
template <int Id, typename F>
struct Counted;

template <int Id, typename R, typename... A>
struct Counted<Id, R (*)(A...)> {
    static inline R (*original)(A...) = nullptr;
    static R Call(A... args) {
        g_calls.fetch_add(1, std::memory_order_relaxed);
        g_callsOf[Id].fetch_add(1, std::memory_order_relaxed);
        return original(args...);
    }
};

struct Route {
    const char* name;
    void** original;
    void* counted;
};

template <int Id, typename F>
Route MakeRoute(const char* name) {
    return {name, reinterpret_cast<void**>(&Counted<Id, F>::original),
            reinterpret_cast<void*>(&Counted<Id, F>::Call)};
}

#define VLX_COUNTED(id, function) MakeRoute<id, decltype(&::function)>(#function)

const Route* Routes() {
    static const Route routes[kRoutes] = {
        VLX_COUNTED(0, RegOpenKeyExA),     VLX_COUNTED(1, RegCreateKeyExA),
        VLX_COUNTED(2, RegCloseKey),       VLX_COUNTED(3, RegQueryValueExA),
        VLX_COUNTED(4, RegSetValueExA),    VLX_COUNTED(5, RegEnumKeyExA),
        VLX_COUNTED(6, RegEnumValueA),     VLX_COUNTED(7, RegDeleteKeyA),
        VLX_COUNTED(8, RegDeleteKeyExA),   VLX_COUNTED(9, RegDeleteValueA),
        VLX_COUNTED(10, RegQueryValueA),   VLX_COUNTED(11, RegQueryInfoKeyA),
        VLX_COUNTED(12, RegFlushKey),      VLX_COUNTED(13, RegOpenKeyA),
        VLX_COUNTED(14, RegCreateKeyA),    VLX_COUNTED(15, RegEnumKeyA),
        VLX_COUNTED(16, RegSetValueA),     VLX_COUNTED(17, RegDeleteTreeA),
        VLX_COUNTED(18, RegGetValueA),     VLX_COUNTED(19, RegOpenKeyExW),
        VLX_COUNTED(20, RegQueryValueExW), VLX_COUNTED(21, RegNotifyChangeKeyValue),
    };
    return routes;
}

const Route* FindRoute(const char* name) {
    for (int i = 0; i < kRoutes; ++i) {
        if (std::strcmp(Routes()[i].name, name) == 0)
            return &Routes()[i];
    }
    return nullptr;
}

#undef VLX_COUNTED

}  // namespace

std::vector<std::string> CountRegistryCalls() {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return {"the program imports nothing"};
    std::vector<std::string> unrouted;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        // The names are in the original thunks; without them the slots hold addresses only.
        if (dll->OriginalFirstThunk == 0) {
            unrouted.push_back(std::string("the imports of ") +
                               reinterpret_cast<const char*>(base + dll->Name) + " (no names)");
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const char* name = reinterpret_cast<const char*>(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
            if (std::strncmp(name, "Reg", 3) != 0)
                continue;
            const Route* route = FindRoute(name);
            DWORD protection = 0;
            if (route == nullptr || !::VirtualProtect(&slots->u1.Function, sizeof(void*),
                                                      PAGE_READWRITE, &protection)) {
                unrouted.push_back(name);
                continue;
            }
            *route->original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(route->counted);
            ::VirtualProtect(&slots->u1.Function, sizeof(void*), protection, &protection);
        }
    }
    return unrouted;
}

unsigned long RegistryCalls() {
    return g_calls.load(std::memory_order_relaxed);
}

std::vector<std::pair<std::string, unsigned long>> RegistryCallsByFunction() {
    std::vector<std::pair<std::string, unsigned long>> calls;
    for (int i = 0; i < kRoutes; ++i) {
        if (const unsigned long n = g_callsOf[i].load(std::memory_order_relaxed))
            calls.emplace_back(Routes()[i].name, n);
    }
    return calls;
}

}  // namespace bench

#endif
