#pragma once
#  include <vector>
#include "common/rules.h"
