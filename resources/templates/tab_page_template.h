#pragma once
// What the program's tab pages share: each is a borderless child of 418 x 245 dialog units in
// 8-point "MS Sans Serif". Pages that so far hold only the buttons every page has ("&Apply",
// "&Restore from Registry", "E&xit") are built whole here.

#include <vector>

#include "framework/dialog_template.h"

namespace res::placeholder {
inline constexpr int kApply = 1015;
inline constexpr int kRestore = 1016;
inline constexpr int kExit = 1019;
}  // namespace res::placeholder

namespace res {

// Tab page `number` with `controls`.
fw::DialogTemplate TabPageTemplate(int number, std::vector<fw::ControlTemplate> controls);

// Tab page `number` with only the common buttons (ids in res::placeholder).
fw::DialogTemplate PlaceholderPageTemplate(int number);

}  // namespace res
