#include "pages/methods/method_definition.h"

#include <utility>

namespace methods {

std::uint32_t& MethodDefinition::Mask(MethodMask which) {
    switch (which) {
        case MethodMask::SystemConditions:
            return systemConditions;
        case MethodMask::ItemConditions:
            return itemConditions;
        case MethodMask::AskBefore:
            return askBefore;
        case MethodMask::Active:
            break;
    }
    return active;
}

std::uint32_t MethodDefinition::Mask(MethodMask which) const {
    return const_cast<MethodDefinition*>(this)->Mask(which);
}

void MethodDefinition::Rename(std::string newName) {
    name = std::move(newName);
    keepStoredName = false;
}

std::string DefaultUserMethodName(std::int32_t number) {
    return "ModulProc" + std::to_string(number);
}

std::unique_ptr<MethodDefinition> MakeDefaultUserMethod(std::int32_t number) {
    auto method = std::make_unique<MethodDefinition>();
    method->number = number;
    method->name = DefaultUserMethodName(number);
    method->askBefore = kAllLevels;
    method->active = kAllLevels;
    return method;
}

}  // namespace methods
