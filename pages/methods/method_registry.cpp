#include "pages/methods/method_registry.h"

#include "pages/common/user_levels.h"
#include "registry/registry_key.h"
#include "registry/registry_store.h"
#include "registry/value_query.h"

namespace methods {
namespace {

// The name is read into a buffer of this size first; a longer one is read whole.
constexpr DWORD kNameBufferSize = 100;

void ReadLevels(HKEY methodKey, MethodDefinition& method) {
    method.askBefore = 0;
    method.active = 0;
    for (const userlevels::MethodLevel& level : userlevels::kMethodLevels) {
        RegistryKey levelKey;
        const std::string levelName(level.name);
        if (levelKey.Open(methodKey, levelName.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
            continue;
        }
        if (registry::QueryFourBytes(levelKey, "AskBefore").value_or(0) != 0) {
            method.askBefore |= level.bit;
        }
        // An "Active" that is missing (or that no 4-byte read can give) means enabled.
        if (registry::QueryFourBytes(levelKey, "Active").value_or(1) != 0) {
            method.active |= level.bit;
        }
    }
}

std::unique_ptr<MethodDefinition> LoadMethod(std::int32_t number) {
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, MethodKeyPath(number).c_str(), KEY_ALL_ACCESS) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    auto method = std::make_unique<MethodDefinition>();
    ReadMethodKey(key, number, *method);
    return method;
}

}  // namespace

std::string MethodKeyPath(std::int32_t number) {
    return std::string(kModulProcKeyPath) + "\\" + std::to_string(number);
}

void ReadMethodKey(HKEY key, std::int32_t number, MethodDefinition& method) {
    method.number = number;
    method.keepStoredName = false;
    if (registry::QueryWholeString(key, "", &method.name, kNameBufferSize) != ERROR_SUCCESS) {
        method.name.clear();
        method.keepStoredName = true;
    }
    method.itemConditions = registry::QueryDword(key, "ItemConditions").value_or(0);
    method.systemConditions = registry::QueryDword(key, "SystemConditions").value_or(0);
    ReadLevels(key, method);
}

void WriteMethodConditions(RegistryKey& key, const MethodDefinition& method) {
    key.SetNumber("ItemConditions", method.itemConditions);
    key.SetNumber("SystemConditions", method.systemConditions);
    for (const userlevels::MethodLevel& level : userlevels::kMethodLevels) {
        RegistryKey levelKey;
        const std::string levelName(level.name);
        if (levelKey.Create(key, levelName.c_str()) != ERROR_SUCCESS) {
            continue;
        }
        levelKey.SetNumber("AskBefore", (method.askBefore & level.bit) != 0 ? 1 : 0);
        levelKey.SetNumber("Active", (method.active & level.bit) != 0 ? 1 : 0);
    }
}

common::AreaResult MethodRegistry::LoadBuiltIn(MethodList& methods) {
    methods.clear();
    registry::RegistryBatch batch;
    for (std::int32_t number = kFirstBuiltInMethod; number <= kLastBuiltInMethod; ++number) {
        if (auto method = LoadMethod(number)) {
            methods.push_back(std::move(method));
        }
    }
    return common::AreaResult(kMethodsArea);
}

common::AreaResult MethodRegistry::SaveBuiltIn(const MethodList& methods) {
    registry::RegistryBatch batch;
    for (const auto& method : methods) {
        RegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, MethodKeyPath(method->number).c_str(), KEY_ALL_ACCESS) !=
            ERROR_SUCCESS) {
            continue;
        }
        WriteMethodConditions(key, *method);
    }
    return common::AreaResult(kMethodsArea);
}

common::AreaResult MethodRegistry::LoadUserMethods(MethodList& methods) {
    methods.clear();
    registry::RegistryBatch batch;
    for (std::int32_t number = kFirstUserMethod; number <= kLastUserMethod; ++number) {
        auto method = LoadMethod(number);
        methods.push_back(method ? std::move(method) : MakeDefaultUserMethod(number));
    }
    return common::AreaResult(kUserMethodsArea);
}

common::AreaResult MethodRegistry::SaveUserMethods(const MethodList& methods) {
    registry::RegistryBatch batch;
    for (const auto& method : methods) {
        RegistryKey key;
        if (key.Create(HKEY_LOCAL_MACHINE, MethodKeyPath(method->number).c_str()) !=
            ERROR_SUCCESS) {
            continue;
        }
        if (!method->keepStoredName) {
            key.SetString("", method->name.c_str());
        }
        WriteMethodConditions(key, *method);
    }
    return common::AreaResult(kUserMethodsArea);
}

}  // namespace methods
