#pragma once
// The registry half of the test kit: a throw-away registry seeded from .reg text, and ways to
// look at what the code under test left in it. Standard library only; the same tests run
// against the .reg file store and, on Windows, against the system registry.
//
//   testsupport::TempRegistry reg(R"(
//   [HKEY_LOCAL_MACHINE\Software\VORNA Roboter GmbH\Version]
//   "InstallationDir"="C:\\Vorna"
//   )");
//   ... run the code under test (it calls the Reg*A functions) ...
//   EXPECT_EQ(reg.Export(HKEY_LOCAL_MACHINE, "Software\\VORNA Roboter GmbH\\Version"),
//             "[HKEY_LOCAL_MACHINE\\Software\\VORNA Roboter GmbH\\Version]\n"
//             "\"InstallationDir\"=\"C:\\\\Vorna\"\n");

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "registry/win_registry.h"

namespace testsupport {

class TempRegistry {
  public:
    // Seeds a fresh registry from .reg text. A text without a header line ("REGEDIT4" or
    // "Windows Registry Editor Version 5.00") is taken as REGEDIT4. Throws std::runtime_error
    // with the parser's message (file, line, what) when the text is not valid.
    //
    // Away from Windows: writes the text to a new temporary folder and binds the Reg*A entry
    // points to it (registry::OpenFileStore). On Windows: deletes the keys the text names and
    // the program's areas (HKLM "Software\VORNA Roboter GmbH", "Software\VORNA Customer", HKCU
    // "Software\VORNA Roboter GmbH", "Software\VB and VBA Program Settings"), then writes the
    // text's keys and values with RegCreateKeyExA / RegSetValueExA.
    explicit TempRegistry(const std::string& regText = "");
    // Away from Windows: unbinds the store and removes the temporary folder. On Windows:
    // deletes the same keys again.
    ~TempRegistry();
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    // The key `path` under `root` with everything below it, as REGEDIT4-style text read back
    // through the Reg*A functions: no header, "\n" line ends, one "[ROOT\path]" line per key
    // (the given path as spelled by the caller, subkeys as stored), keys depth first with
    // subkeys sorted without regard to case, then the key's values sorted by name without
    // regard to case (the unnamed value "@" first), one line each:
    //   "name"="text"         REG_SZ that is text plus one terminating zero
    //   "name"=dword:0000002a REG_DWORD of 4 bytes
    //   "name"=hex:01,02      REG_BINARY;  "name"=hex(N):...  every other type or form
    // No blank lines, no line wrapping. "" when the key does not exist. The same on every
    // store, so tests can compare it with a literal.
    std::string Export(HKEY root, const std::string& path) const;
    bool KeyExists(HKEY root, const std::string& path) const;
    // Type and bytes of a value (name "" for the unnamed value), or nothing when the key or
    // the value does not exist.
    std::optional<std::pair<DWORD, std::vector<uint8_t>>> Value(HKEY root, const std::string& path,
                                                                const std::string& name) const;
    // The temporary .reg file (away from Windows); "" on Windows.
    std::string FilePath() const;

  private:
    // The platform's half (registry_fixture_file.cpp, registry_fixture_win.cpp): seeds the store
    // from normalised .reg text, and releases it again.
    void SeedStore(const std::string& text);
    void ReleaseStore();

    std::string folder_;
    std::string file_;
    std::vector<std::pair<HKEY, std::string>> seededAreas_;
};

}  // namespace testsupport
