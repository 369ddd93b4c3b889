#pragma once
// What the program's tab pages share: each is a borderless child of 418 x 245 dialog units in
// 8-point "MS Sans Serif".

#include <vector>

#include "framework/dialog_template.h"

namespace res {

// Tab page `number` with `controls`.
fw::DialogTemplate TabPageTemplate(int number, std::vector<fw::ControlTemplate> controls);

}  // namespace res
