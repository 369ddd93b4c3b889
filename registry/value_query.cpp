#include "registry/value_query.h"

#include <algorithm>
#include <vector>

#include "registry/registry_key.h"

namespace registry {
namespace {

// Far beyond anything a registry holds; only bounds the retries.
constexpr DWORD kLongestText = 1u << 30;
constexpr int kMaxAttempts = 4;

std::uint32_t LittleEndian(const BYTE* data, DWORD size) {
    std::uint32_t number = 0;
    for (DWORD i = 0; i < size; ++i) {
        number |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    return number;
}

// A value of at most 4 bytes: its type, size and bytes. None when it is missing, cannot be read
// or is longer.
struct SmallValue {
    DWORD type = REG_NONE;
    DWORD size = 0;
    BYTE data[4] = {0, 0, 0, 0};
};

std::optional<SmallValue> QuerySmallValue(HKEY key, const char* valueName) {
    SmallValue value;
    value.size = sizeof value.data;
    if (RegQueryValueExA(key, valueName, nullptr, &value.type, value.data, &value.size) !=
            ERROR_SUCCESS ||
        value.size > sizeof value.data) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

LONG QueryWholeString(HKEY key, const char* valueName, std::string* text, DWORD firstBufferSize) {
    text->clear();
    std::vector<char> buffer(firstBufferSize == 0 ? 1 : firstBufferSize, '\0');
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        DWORD count = static_cast<DWORD>(buffer.size());
        const LONG result = QueryCheckedString(key, valueName, buffer.data(), &count);
        if (result == ERROR_SUCCESS) {
            text->assign(buffer.data());
            return result;
        }
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            size <= buffer.size() || size > kLongestText) {
            return result;
        }
        buffer.assign(size + 1, '\0');
    }
    return ERROR_MORE_DATA;
}

std::optional<RegValue> QueryStoredValue(HKEY key, const char* valueName) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        RegValue value;
        value.name = valueName;
        value.data.assign(size, 0);
        DWORD got = size;
        const LONG result = RegQueryValueExA(
            key, valueName, nullptr, &type, value.data.empty() ? nullptr : value.data.data(), &got);
        if (result == ERROR_SUCCESS) {
            value.type = type;
            value.data.resize(got < size ? got : size);
            return value;
        }
        if (result != ERROR_MORE_DATA) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> QueryNumber(HKEY key, const char* valueName) {
    const std::optional<SmallValue> value = QuerySmallValue(key, valueName);
    if (!value || value->size == 0) {
        return std::nullopt;
    }
    return LittleEndian(value->data, value->size);
}

std::optional<std::uint32_t> QueryDword(HKEY key, const char* valueName) {
    const std::optional<SmallValue> value = QuerySmallValue(key, valueName);
    if (!value || value->type != REG_DWORD || value->size != 4) {
        return std::nullopt;
    }
    return LittleEndian(value->data, value->size);
}

std::optional<std::uint32_t> QueryFourBytes(HKEY key, const char* valueName) {
    const std::optional<SmallValue> value = QuerySmallValue(key, valueName);
    if (!value || value->size != 4) {
        return std::nullopt;
    }
    return LittleEndian(value->data, value->size);
}

LONG WholeStringOf(const RegValue* value, std::string* text) {
    text->clear();
    if (value == nullptr)
        return ERROR_FILE_NOT_FOUND;
    const char* data = reinterpret_cast<const char*>(value->data.data());
    const DWORD size = static_cast<DWORD>(value->data.size());
    if (!IsCheckedString(value->type, data, size))
        return ERROR_INVALID_DATA;
    text->assign(data, std::find(data, data + size, '\0'));
    return ERROR_SUCCESS;
}

std::optional<std::uint32_t> NumberOf(const RegValue* value) {
    if (value == nullptr || value->data.empty() || value->data.size() > 4)
        return std::nullopt;
    return LittleEndian(value->data.data(), static_cast<DWORD>(value->data.size()));
}

std::optional<std::uint32_t> DwordOf(const RegValue& value) {
    if (value.type != REG_DWORD || value.data.size() != 4) {
        return std::nullopt;
    }
    return LittleEndian(value.data.data(), 4);
}

}  // namespace registry
