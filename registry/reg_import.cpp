#include "registry/reg_import.h"

#include <vector>

#include "registry/key_snapshot.h"
#include "registry/reg_text.h"
#include "registry/registry_key.h"

namespace registry {
namespace {

// Nothing but the parse itself, to find a broken file before anything changes.
class NoSink : public RegTextSink {
  public:
    void Key(RegRoot, const std::vector<std::string_view>&, bool, int) override {}
    void Value(std::string_view, uint32_t, const uint8_t*, size_t, int) override {}
    void RemoveValue(std::string_view, int) override {}
};

class Importer : public RegTextSink {
  public:
    explicit Importer(std::string fileName) : fileName_(std::move(fileName)) {}

    void Key(RegRoot root, const std::vector<std::string_view>& path, bool remove,
             int line) override {
        std::string joined;
        for (std::string_view name : path)
            joined.append(joined.empty() ? "" : "\\").append(name);
        key_.Close();
        open_ = false;
        if (remove) {
            const LONG r = DeleteKeyTree(RootKey(root), joined.c_str());
            if (r != ERROR_FILE_NOT_FOUND)
                Note(r, line);
            return;
        }
        const LONG r = key_.Create(RootKey(root), joined.c_str());
        open_ = r == ERROR_SUCCESS;
        Note(r, line);
    }

    void Value(std::string_view name, uint32_t type, const uint8_t* data, size_t size,
               int line) override {
        if (open_)
            Note(
                SetRawValue(key_, std::string(name), type, std::vector<uint8_t>(data, data + size)),
                line);
    }

    void RemoveValue(std::string_view name, int line) override {
        if (!open_)
            return;
        const LONG r = RegDeleteValueA(key_, std::string(name).c_str());
        if (r != ERROR_FILE_NOT_FOUND)
            Note(r, line);
    }

    const std::string& Error() const { return error_; }

  private:
    void Note(LONG result, int line) {
        if (result != ERROR_SUCCESS && error_.empty())
            error_ =
                fileName_ + ", line " + std::to_string(line) + ": error " + std::to_string(result);
    }

    std::string fileName_;
    RegistryKey key_;  // the key of the last "[key]" line
    bool open_ = false;
    std::string error_;
};

}  // namespace

HKEY RootKey(RegRoot root) {
    switch (root) {
        case RegRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegRoot::Users:
            return HKEY_USERS;
        case RegRoot::LocalMachine:
            break;
    }
    return HKEY_LOCAL_MACHINE;
}

std::string ImportRegText(std::string_view bytes, const std::string& fileName) {
    RegFileFormat format;
    NoSink check;
    if (std::string error = ParseRegText(bytes, fileName, &format, &check); !error.empty())
        return error;
    Importer importer(fileName);
    ParseRegText(bytes, fileName, &format, &importer);
    return importer.Error();
}

}  // namespace registry
